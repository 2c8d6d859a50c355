#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/QueryProtocol.h"
#include "core/util/QueryDefaults.h"

namespace vantrix {

enum class CheckFormat { kTable, kJson, kCsv, kVnx };

// One input in command-line order: a list file, a host[:port], or standard input ("-").
struct CheckInputSpec {
  enum class Kind { kFile, kAddress, kStdin, kUnsure };  // kUnsure: decided by ClassifyArgument
  Kind kind = Kind::kUnsure;
  std::string text;

  bool operator==(const CheckInputSpec&) const = default;
};

struct CheckOptions {
  std::vector<CheckInputSpec> inputs;
  std::uint16_t defaultPort = 27015;
  int maxParallel = kDefaultMaxParallel;
  int timeoutMs = 400;
  int retries = 1;  // further attempts after the first
  int sendIntervalUs = 0;
  QueryProtocol query = QueryProtocol::kCurrent;  // what servers of today answer; kOriginal for old ones
  bool players = false;
  bool rules = false;
  std::optional<CheckFormat> format;  // empty: table on a terminal, else json
  bool progress = true;               // shown only when standard error is a terminal
  bool help = false;
  bool version = false;
  // The servers from the master's list instead of (or besides) the inputs.
  std::string master;  // host:port; empty: no master
  std::uint8_t region = 0xFF;
  std::string masterFilter;  // the master's own filter, e.g. \appid\10
  int limit = 5000;
  std::string apiKeyFile;    // the Web API instead of the UDP master
  std::string webApiUrl;     // empty: the service's own address
  bool checkMaster = false;  // check the listed servers instead of printing them
  // Checks the servers again every watchSeconds and prints what changed; 0: check once.
  int watchSeconds = 0;
  std::vector<std::string> buddies;  // players whose joining is told (--watch)
  int watchCount = 0;                // refreshes before the end; 0: until interrupted
  // The filter bar's text: only the servers whose row passes are printed and counted.
  std::string filter;
  // The kept history of one server instead of a check: its address and span (24h, 7d, 30d).
  std::string history;
  std::string span = "24h";
};

// Bad command-line use: the message says what was wrong.
class CheckUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Options take their value as the next
// argument or after "="; "--" ends the options. Throws CheckUsageError.
CheckOptions ParseCheckOptions(const std::vector<std::string>& arguments);

// A positional argument: "-" is standard input; a file that exists, or a name ending in
// ".vnx" or ".txt" (any case), is a list file; anything else is a host[:port].
CheckInputSpec::Kind ClassifyArgument(std::string_view argument, bool isExistingFile);

// The --help text.
std::string CheckUsageText();

}  // namespace vantrix

#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "check/CheckOptions.h"
#include "core/master/MasterAddress.h"
#include "core/master/WebApiServerList.h"

namespace vantrix {

// The standard streams a command works with.
struct CheckConsole {
  std::function<bool(const std::string& text)> write;  // standard output, flushed; false when it failed
  std::ostream* errors = nullptr;                      // standard error
  bool inputIsTerminal = false;
  bool outputIsTerminal = false;
  bool errorsIsTerminal = false;

  static CheckConsole Standard();  // the process's own
};

// Asks the Web API's server list at `url`, at most `limit` servers. It needs Qt Network, so
// vantrix-check hands one in only when it is built with Qt.
using WebApiAsk = std::function<WebApiServerList(const std::string& url, std::size_t limit)>;

// The exit status of bad usage.
inline constexpr int kUsageStatus = 2;

// Tells of bad usage on `errors` (with the pointer to --help); returns kUsageStatus.
int UsageFailure(std::ostream& errors, const std::string& message);

// One run of vantrix-check after its options were read (--help and --version aside): the
// history of a server, the master's list (printed or checked), the servers watched, or one
// check of them. Every message starts with "vantrix-check: ".
class CheckCommand {
 public:
  CheckCommand(CheckOptions options, CheckConsole console, WebApiAsk webApi = {});

  // Returns the exit status: 0 all well, 1 a server or an input failed, 2 bad usage.
  int Run();

 private:
  int RunCheck();
  int RunWatch();
  int RunMaster();
  int RunHistory();
  int PrintOrCheck(const std::vector<MasterAddress>& addresses, bool failed);
  std::vector<MasterAddress> AskWebApi(std::string& failure);
  // Writes to standard output: 0, or 1 after saying that it failed.
  int Write(const std::string& text);
  void Tell(const std::string& message);

  CheckOptions m_options;
  CheckConsole m_console;
  WebApiAsk m_webApi;
};

}  // namespace vantrix

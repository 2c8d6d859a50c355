#include "FakeServerOptions.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <stdexcept>

#include <CLI/CLI.hpp>

namespace vantrix::fake {

namespace {

long long ParseWhole(const std::string& option, const std::string& text, long long low, long long high) {
  long long value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < low || value > high)
    throw std::invalid_argument(option + " needs a whole number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ", not '" + text + "'");
  return value;
}

double ParseShare(const std::string& option, const std::string& text) {
  double value = -1;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || !(value >= 0.0 && value <= 1.0))
    throw std::invalid_argument(option + " needs a share from 0 to 1, not '" + text + "'");
  return value;
}

// Shares of the servers, turned into counts once the count is known.
struct Shares {
  double silent = -1;
  double slow = -1;
  double challenge = -1;
};

// What each option's value does, in command-line order.
void ApplyOption(FakeServerOptions& options, Shares& shares, const std::string& option,
                 const std::string& value) {
  if (option == "--help") {
    options.help = true;
  } else if (option == "--count") {
    options.setup.count = static_cast<int>(ParseWhole(option, value, 0, 60000));
  } else if (option == "--address") {
    in_addr parsed{};
    if (inet_pton(AF_INET, value.c_str(), &parsed) != 1 || (ntohl(parsed.s_addr) >> 24) != 127)
      throw std::invalid_argument("--address needs a loopback address 127.x.y.z, not " + value);
    options.setup.host = value;
  } else if (option == "--base-port") {
    options.setup.basePort = static_cast<std::uint16_t>(ParseWhole(option, value, 1, 65535));
  } else if (option == "--delay-ms") {
    options.delayMs = static_cast<std::uint32_t>(ParseWhole(option, value, 0, 3'600'000));
  } else if (option == "--silent") {
    options.setup.silentCount = static_cast<int>(ParseWhole(option, value, 0, 60000));
  } else if (option == "--silent-share") {
    shares.silent = ParseShare(option, value);
  } else if (option == "--slow") {
    options.setup.slowCount = static_cast<int>(ParseWhole(option, value, 0, 60000));
  } else if (option == "--slow-share") {
    shares.slow = ParseShare(option, value);
  } else if (option == "--slow-ms") {
    options.slowMs = static_cast<std::uint32_t>(ParseWhole(option, value, 0, 3'600'000));
  } else if (option == "--odd-names") {
    options.setup.oddNames = true;
  } else if (option == "--split-rules") {
    if (options.splitParts == 0) options.splitParts = 2;
  } else if (option == "--split-parts") {
    options.splitParts = static_cast<int>(ParseWhole(option, value, 2, kMaxSplitParts));
  } else if (option == "--challenge") {
    options.setup.challengeCount = static_cast<int>(ParseWhole(option, value, 0, 60000));
  } else if (option == "--challenge-share") {
    shares.challenge = ParseShare(option, value);
  } else if (option == "--endless-challenge") {
    options.setup.endlessChallengeCount = static_cast<int>(ParseWhole(option, value, 0, 60000));
  } else if (option == "--details-for-info") {
    options.setup.detailsForInfoCount = static_cast<int>(ParseWhole(option, value, 0, 60000));
  } else if (option == "--extra-rules") {
    options.setup.extraRules = static_cast<int>(ParseWhole(option, value, 0, 5000));
  } else if (option == "--split-size") {
    options.splitSize = static_cast<std::size_t>(ParseWhole(option, value, 1, 65535));
  } else if (option == "--compress") {
    options.compress = true;
  } else if (option == "--current") {
    options.setup.current = true;
  } else if (option == "--old-split") {
    options.oldSplit = true;
  } else if (option == "--log-requests") {
    options.logRequests = true;
  } else if (option == "--write-list") {
    options.listFile = value;
  } else if (option == "--write-vnx") {
    options.vnxFile = value;
  } else if (option == "--master") {
    options.masterPort = static_cast<std::uint16_t>(ParseWhole(option, value, 1, 65535));
  } else if (option == "--master-throttle") {
    options.masterThrottleMs = static_cast<std::uint32_t>(ParseWhole(option, value, 0, 3'600'000));
  } else if (option == "--master-drop") {
    options.masterFaults.dropPage = static_cast<int>(ParseWhole(option, value, 0, 60000));
  } else if (option == "--master-garbage") {
    options.masterFaults.garbagePage = static_cast<int>(ParseWhole(option, value, 0, 60000));
  } else if (option == "--master-never-end") {
    options.masterFaults.neverEnd = true;
  } else if (option == "--seconds") {
    options.seconds = static_cast<double>(ParseWhole(option, value, 0, 86400 * 7));
  }
}

// The command line's grammar: CLI11 splits the arguments and writes the help; the values are
// checked by ApplyOption.
class CommandLine {
 public:
  CommandLine() {
    m_app.set_help_flag();
    m_app.allow_extras();
    m_app.footer(
        "Simulated game servers on 127.0.0.1 (or --address), one UDP port each, answering the info,\n"
        "players and rules requests, the window's and the newer ones ('T', 'U', 'V', 'W').\n"
        "Prints \"ready N servers from port P\" once every port is open.");
    m_app.get_formatter()->label("Usage", "usage");
    m_app.get_formatter()->column_width(26);
    m_app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)->disable_flag_override();
    Value("--count", "N", "number of servers (default 1)");
    Value("--base-port", "P", "port of the first server (default 28000)");
    Value("--address", "A", "the servers' loopback address (default 127.0.0.1)");
    Value("--delay-ms", "D", "reply delay of the answering servers (default 0)");
    Value("--silent", "N", "N servers never answer (spread evenly)");
    Value("--silent-share", "F", "the share F (0..1) of the servers never answers");
    Value("--slow", "N", "N answering servers reply after --slow-ms");
    Value("--slow-share", "F", "the share F of the answering servers is slow");
    Value("--slow-ms", "M", "delay of the slow servers (default 600)");
    Flag("--odd-names", "some names in UTF-8, some in Latin-1");
    Flag("--split-rules", "send the rules reply in two datagrams");
    Value("--split-parts", "N", "send the rules reply in N datagrams (2..15)");
    Value("--challenge", "N", "N answering servers want the challenge on the 'T' request");
    Value("--challenge-share", "F", "the share F of the answering servers wants it");
    Value("--endless-challenge", "N", "N answering servers only ever answer with a new challenge");
    Value("--details-for-info", "N", "N answering servers answer 'T' with an 'm' reply");
    Value("--extra-rules", "N", "N more rules per server, for replies in several parts");
    Value("--split-size", "B", "'U' and 'V' replies longer than B bytes are split (default 1248)");
    Flag("--compress", "compress the split 'U' and 'V' replies (bzip2)");
    Flag("--old-split", "split 'U' and 'V' replies with the one-byte header (<= 15 parts)");
    Flag("--current",
         "behave like servers of today: ignore the original string requests\n"
         "and challenge every newer request, 'T' included");
    Flag("--log-requests", "print unknown requests in hex on standard error");
    Value("--write-list", "FILE", "write the servers' list, one address per line");
    Value("--write-vnx", "FILE", "write the servers' list in the record layout");
    Value("--master", "P", "a master server on port P listing the servers, 231 a page");
    Value("--master-throttle", "MS",
          "after three quick requests, a client's requests closer\nthan MS to its last one are ignored");
    Value("--master-drop", "N", "page N (from 0) goes unanswered the first time it is asked");
    Value("--master-garbage", "N", "page N is answered with bytes that are no page");
    Flag("--master-never-end", "the list starts again instead of ending");
    Value("--seconds", "S", "stop after S seconds (default: at SIGINT or SIGTERM)");
    Flag("-h,--help", "print this help");
  }

  FakeServerOptions Parse(const std::vector<std::string>& arguments, Shares& shares) {
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // CLI11 pops from the back
    try {
      m_app.parse(reversed);
    } catch (const CLI::ParseError& error) {
      throw std::invalid_argument(error.what());
    }
    for (const std::string& unknown : m_app.remaining())
      throw std::invalid_argument("unknown option '" + unknown + "'");
    FakeServerOptions options;
    std::map<const CLI::Option*, std::size_t> used;
    for (const CLI::Option* option : m_app.parse_order())
      ApplyOption(options, shares, m_names.at(option), option->results().at(used[option]++));
    return options;
  }

  std::string Help() const { return m_app.help(); }

 private:
  void Value(const std::string& name, const std::string& typeName, const std::string& description) {
    CLI::Option* option = m_app.add_option(name, description)->type_name(typeName)->expected(1);
    m_names[option] = name;
  }

  void Flag(const std::string& names, const std::string& description) {
    m_names[m_app.add_flag(names, description)] = names.substr(names.rfind(',') + 1);
  }

  CLI::App m_app{"", "vantrix-fakeserver"};
  std::map<const CLI::Option*, std::string> m_names;
};

}  // namespace

std::string UsageText() {
  return CommandLine().Help();
}

FakeServerOptions ParseOptions(const std::vector<std::string>& arguments) {
  Shares shares;
  FakeServerOptions options = CommandLine().Parse(arguments, shares);
  ServerSetup& setup = options.setup;
  if (shares.silent >= 0) setup.silentCount = static_cast<int>(std::lround(shares.silent * setup.count));
  setup.silentCount = std::min(setup.silentCount, setup.count);
  if (shares.slow >= 0)
    setup.slowCount = static_cast<int>(std::lround(shares.slow * (setup.count - setup.silentCount)));
  setup.slowCount = std::min(setup.slowCount, setup.count - setup.silentCount);
  if (shares.challenge >= 0)
    setup.challengeCount =
        static_cast<int>(std::lround(shares.challenge * (setup.count - setup.silentCount)));
  if (options.compress && options.oldSplit)
    throw std::invalid_argument("--compress needs the newer split header, not --old-split");
  if (static_cast<long>(setup.basePort) + setup.count > 65536L)
    throw std::invalid_argument("--base-port plus --count goes past port 65535");
  if (options.masterPort != 0 && options.masterPort >= setup.basePort &&
      options.masterPort < static_cast<long>(setup.basePort) + setup.count)
    throw std::invalid_argument("--master needs a port that no simulated server uses");
  return options;
}

}  // namespace vantrix::fake

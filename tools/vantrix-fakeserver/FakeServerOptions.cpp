#include "FakeServerOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

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

}  // namespace

const char* UsageText() {
  return "usage: vantrix-fakeserver [options]\n"
         "Simulated game servers on 127.0.0.1, one UDP port each, answering the info,\n"
         "players and rules requests, the window's and the newer ones ('T', 'U', 'V', 'W').\n"
         "  --count N          number of servers (default 1)\n"
         "  --base-port P      port of the first server (default 28000)\n"
         "  --delay-ms D       reply delay of the answering servers (default 0)\n"
         "  --silent N         N servers never answer (spread evenly)\n"
         "  --silent-share F   the share F (0..1) of the servers never answers\n"
         "  --slow N           N answering servers reply after --slow-ms\n"
         "  --slow-share F     the share F of the answering servers is slow\n"
         "  --slow-ms M        delay of the slow servers (default 600)\n"
         "  --odd-names        some names in UTF-8, some in Latin-1\n"
         "  --split-rules      send the rules reply in two datagrams\n"
         "  --split-parts N    send the rules reply in N datagrams (2..15)\n"
         "  --challenge N      N answering servers want the challenge on the 'T' request\n"
         "  --challenge-share F  the share F of the answering servers wants it\n"
         "  --endless-challenge N  N answering servers only ever answer with a new challenge\n"
         "  --details-for-info N   N answering servers answer 'T' with an 'm' reply\n"
         "  --extra-rules N    N more rules per server, for replies in several parts\n"
         "  --split-size B     'U' and 'V' replies longer than B bytes are split (default 1248)\n"
         "  --compress         compress the split 'U' and 'V' replies (bzip2)\n"
         "  --old-split        split 'U' and 'V' replies with the one-byte header (<= 15 parts)\n"
         "  --current          behave like servers of today: ignore the original string requests\n"
         "                     and challenge every newer request, 'T' included\n"
         "  --log-requests     print unknown requests in hex on standard error\n"
         "  --write-list FILE  write the servers' list, one address per line\n"
         "  --write-vnx FILE   write the servers' list in the record layout\n"
         "  --master P         a master server on port P listing the servers, 231 a page\n"
         "  --master-throttle MS  after three quick requests, a client's requests closer\n"
         "                     than MS to its last one are ignored\n"
         "  --master-drop N    page N (from 0) goes unanswered the first time it is asked\n"
         "  --master-garbage N page N is answered with bytes that are no page\n"
         "  --master-never-end the list starts again instead of ending\n"
         "  --seconds S        stop after S seconds (default: at SIGINT or SIGTERM)\n"
         "Prints \"ready N servers from port P\" once every port is open.\n";
}

FakeServerOptions ParseOptions(const std::vector<std::string>& arguments) {
  FakeServerOptions options;
  double silentShare = -1;
  double slowShare = -1;
  double challengeShare = -1;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw std::invalid_argument(option + " needs a value");
      return arguments[++i];
    };
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--count") {
      options.setup.count = static_cast<int>(ParseWhole(option, value(), 0, 60000));
    } else if (option == "--base-port") {
      options.setup.basePort = static_cast<std::uint16_t>(ParseWhole(option, value(), 1, 65535));
    } else if (option == "--delay-ms") {
      options.delayMs = static_cast<std::uint32_t>(ParseWhole(option, value(), 0, 3'600'000));
    } else if (option == "--silent") {
      options.setup.silentCount = static_cast<int>(ParseWhole(option, value(), 0, 60000));
    } else if (option == "--silent-share") {
      silentShare = ParseShare(option, value());
    } else if (option == "--slow") {
      options.setup.slowCount = static_cast<int>(ParseWhole(option, value(), 0, 60000));
    } else if (option == "--slow-share") {
      slowShare = ParseShare(option, value());
    } else if (option == "--slow-ms") {
      options.slowMs = static_cast<std::uint32_t>(ParseWhole(option, value(), 0, 3'600'000));
    } else if (option == "--odd-names") {
      options.setup.oddNames = true;
    } else if (option == "--split-rules") {
      if (options.splitParts == 0) options.splitParts = 2;
    } else if (option == "--split-parts") {
      options.splitParts = static_cast<int>(ParseWhole(option, value(), 2, kMaxSplitParts));
    } else if (option == "--challenge") {
      options.setup.challengeCount = static_cast<int>(ParseWhole(option, value(), 0, 60000));
    } else if (option == "--challenge-share") {
      challengeShare = ParseShare(option, value());
    } else if (option == "--endless-challenge") {
      options.setup.endlessChallengeCount = static_cast<int>(ParseWhole(option, value(), 0, 60000));
    } else if (option == "--details-for-info") {
      options.setup.detailsForInfoCount = static_cast<int>(ParseWhole(option, value(), 0, 60000));
    } else if (option == "--extra-rules") {
      options.setup.extraRules = static_cast<int>(ParseWhole(option, value(), 0, 5000));
    } else if (option == "--split-size") {
      options.splitSize = static_cast<std::size_t>(ParseWhole(option, value(), 1, 65535));
    } else if (option == "--compress") {
      options.compress = true;
    } else if (option == "--current") {
      options.setup.current = true;
    } else if (option == "--old-split") {
      options.oldSplit = true;
    } else if (option == "--log-requests") {
      options.logRequests = true;
    } else if (option == "--write-list") {
      options.listFile = value();
    } else if (option == "--write-vnx") {
      options.vnxFile = value();
    } else if (option == "--master") {
      options.masterPort = static_cast<std::uint16_t>(ParseWhole(option, value(), 1, 65535));
    } else if (option == "--master-throttle") {
      options.masterThrottleMs = static_cast<std::uint32_t>(ParseWhole(option, value(), 0, 3'600'000));
    } else if (option == "--master-drop") {
      options.masterFaults.dropPage = static_cast<int>(ParseWhole(option, value(), 0, 60000));
    } else if (option == "--master-garbage") {
      options.masterFaults.garbagePage = static_cast<int>(ParseWhole(option, value(), 0, 60000));
    } else if (option == "--master-never-end") {
      options.masterFaults.neverEnd = true;
    } else if (option == "--seconds") {
      options.seconds = static_cast<double>(ParseWhole(option, value(), 0, 86400 * 7));
    } else {
      throw std::invalid_argument("unknown option '" + option + "'");
    }
  }
  ServerSetup& setup = options.setup;
  if (silentShare >= 0) setup.silentCount = static_cast<int>(std::lround(silentShare * setup.count));
  setup.silentCount = std::min(setup.silentCount, setup.count);
  if (slowShare >= 0)
    setup.slowCount = static_cast<int>(std::lround(slowShare * (setup.count - setup.silentCount)));
  setup.slowCount = std::min(setup.slowCount, setup.count - setup.silentCount);
  if (challengeShare >= 0)
    setup.challengeCount = static_cast<int>(std::lround(challengeShare * (setup.count - setup.silentCount)));
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

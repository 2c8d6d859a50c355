#include "FakeServerOptions.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "cli/CommandLine.h"
#include "fake/FakeReplies.h"

namespace vantrix::fake {

namespace {

constexpr std::string_view kFooter =
    "Simulated game servers on 127.0.0.1 (or --address), one UDP port each, answering the info,\n"
    "players and rules requests, the window's and the newer ones ('T', 'U', 'V', 'W').\n"
    "Prints \"ready N servers from port P\" once every port is open.";

// Shares of the servers (none given: below 0), turned into counts once the count is known.
struct Shares {
  double silent = -1;
  double slow = -1;
  double challenge = -1;
};

// A loopback address 127.x.y.z: a second address gives a long run more ports than one has.
ValueCheck<std::string> LoopbackAddress() {
  return {[](const std::string& text) -> std::optional<std::string> {
            in_addr parsed{};
            if (inet_pton(AF_INET, text.c_str(), &parsed) != 1 || (ntohl(parsed.s_addr) >> 24) != 127)
              return std::nullopt;
            return text;
          },
          [](const std::string& text) { return "needs a loopback address 127.x.y.z, not " + text; }};
}

// Every option bound to its field; the help lists them in this order.
void BindOptions(CommandLine& line, FakeServerOptions& options, Shares& shares, bool& splitRules) {
  constexpr int kMostServers = 60000;
  constexpr int kLongestDelayMs = 3'600'000;
  ServerSetup& setup = options.setup;
  line.Value("--count", setup.count, WholeNumber(0, kMostServers), "N",
             "number of servers" + DefaultNote(setup.count));
  line.Value("--base-port", setup.basePort, WholeNumber(1, 65535), "P",
             "port of the first server" + DefaultNote(setup.basePort));
  line.Value("--address", setup.host, LoopbackAddress(), "A",
             "the servers' loopback address" + DefaultNote(setup.host));
  line.Value("--delay-ms", options.delayMs, WholeNumber(0, kLongestDelayMs), "D",
             "reply delay of the answering servers" + DefaultNote(options.delayMs));
  line.Value("--silent", setup.silentCount, WholeNumber(0, kMostServers), "N",
             "N servers never answer (spread evenly)");
  line.Value("--silent-share", shares.silent, Share(), "F",
             "the share F (0..1) of the servers never answers");
  line.Value("--slow", setup.slowCount, WholeNumber(0, kMostServers), "N",
             "N answering servers reply after --slow-ms");
  line.Value("--slow-share", shares.slow, Share(), "F", "the share F of the answering servers is slow");
  line.Value("--slow-ms", options.slowMs, WholeNumber(0, kLongestDelayMs), "M",
             "delay of the slow servers" + DefaultNote(options.slowMs));
  line.Flag("--odd-names", setup.oddNames, "some names in UTF-8, some in Latin-1");
  line.Flag("--split-rules", splitRules, "send the rules reply in two datagrams");
  line.Value("--split-parts", options.splitParts, WholeNumber(2, kMaxSplitParts), "N",
             "send the rules reply in N datagrams (2.." + std::to_string(kMaxSplitParts) + ")");
  line.Value("--challenge", setup.challengeCount, WholeNumber(0, kMostServers), "N",
             "N answering servers want the challenge on the 'T' request");
  line.Value("--challenge-share", shares.challenge, Share(), "F",
             "the share F of the answering servers wants it");
  line.Value("--endless-challenge", setup.endlessChallengeCount, WholeNumber(0, kMostServers), "N",
             "N answering servers only ever answer with a new challenge");
  line.Value("--details-for-info", setup.detailsForInfoCount, WholeNumber(0, kMostServers), "N",
             "N answering servers answer 'T' with an 'm' reply");
  line.Value("--extra-rules", setup.extraRules, WholeNumber(0, 5000), "N",
             "N more rules per server, for replies in several parts");
  line.Value("--split-size", options.splitSize, WholeNumber(1, 65535), "B",
             "'U' and 'V' replies longer than B bytes are split" + DefaultNote(options.splitSize));
  line.Flag("--compress", options.compress, "compress the split 'U' and 'V' replies (bzip2)");
  line.Flag("--old-split", options.oldSplit,
            "split 'U' and 'V' replies with the one-byte header (<= 15 parts)");
  line.Flag("--current", setup.current,
            "behave like servers of today: ignore the original string requests\n"
            "and challenge every newer request, 'T' included");
  line.Flag("--log-requests", options.logRequests, "print unknown requests in hex on standard error");
  line.Value("--write-list", options.listFile, AnyText(), "FILE",
             "write the servers' list, one address per line");
  line.Value("--write-vnx", options.vnxFile, AnyText(), "FILE",
             "write the servers' list in the record layout");
  line.Value("--master", options.masterPort, WholeNumber(1, 65535), "P",
             "a master server on port P listing the servers, 231 a page");
  line.Value("--master-throttle", options.masterThrottleMs, WholeNumber(0, kLongestDelayMs), "MS",
             "after three quick requests, a client's requests closer\nthan MS to its last one are ignored");
  line.Value("--master-drop", options.masterFaults.dropPage, WholeNumber(0, kMostServers), "N",
             "page N (from 0) goes unanswered the first time it is asked");
  line.Value("--master-garbage", options.masterFaults.garbagePage, WholeNumber(0, kMostServers), "N",
             "page N is answered with bytes that are no page");
  line.Flag("--master-never-end", options.masterFaults.neverEnd, "the list starts again instead of ending");
  line.Value("--seconds", options.seconds, WholeNumber(0, 86400 * 7), "S",
             "stop after S seconds (default: at SIGINT or SIGTERM)");
  line.Flag("-h,--help", options.help, "print this help");
}

}  // namespace

std::string UsageText() {
  FakeServerOptions options;
  Shares shares;
  bool splitRules = false;
  CommandLine line("vantrix-fakeserver", std::string(kFooter));
  BindOptions(line, options, shares, splitRules);
  return line.Help();
}

FakeServerOptions ParseOptions(const std::vector<std::string>& arguments) {
  FakeServerOptions options;
  Shares shares;
  bool splitRules = false;
  CommandLine line("vantrix-fakeserver", std::string(kFooter));
  BindOptions(line, options, shares, splitRules);
  for (const std::string& stray : line.Parse(arguments))
    throw CommandLineError("unknown option '" + stray + "'");
  if (splitRules && options.splitParts == 0) options.splitParts = 2;
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
    throw CommandLineError("--compress needs the newer split header, not --old-split");
  if (static_cast<long>(setup.basePort) + setup.count > 65536L)
    throw CommandLineError("--base-port plus --count goes past port 65535");
  if (options.masterPort != 0 && options.masterPort >= setup.basePort &&
      options.masterPort < static_cast<long>(setup.basePort) + setup.count)
    throw CommandLineError("--master needs a port that no simulated server uses");
  return options;
}

}  // namespace vantrix::fake

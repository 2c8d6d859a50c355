// Two endpoints (an 8192-byte one like the main window's, a 32767-byte one like the rules
// window's) flooded from loopback while their owner thread pumps a headless dispatcher:
// what is delivered is what was sent, minus what the system says it dropped; nothing
// oversize or cut short is delivered; closing in the middle of a flood returns at once.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include <gtest/gtest.h>

#include "net/HeadlessDispatcher.h"
#include "net/TIdUDPServer.h"
#include "support/FloodSender.h"
#include "support/FloodSocketState.h"
#include "support/NetPeer.h"
#include "support/NetWatchdog.h"

namespace vantrix {
namespace {

using namespace std::chrono_literals;
using test::FloodCounts;
using test::FloodPlan;
using test::FloodSender;
using test::NetWatchdog;
using test::ReadFloodSocketState;

constexpr std::int32_t kMainBuffer = 8192;
constexpr std::int32_t kRulesBuffer = 32767;

// What one endpoint's handler saw.
struct Seen {
  long delivered = 0;
  long wrongSize = 0;    // longer than the buffer, or the oversize datagram in any length
  long notLoopback = 0;  // a sender outside 127.0.0.0/8
  bool overlapped = false;
  bool inside = false;
  std::set<std::pair<std::string, std::uint16_t>> senders;
};

void Watch(TIdUDPServer& server, Seen& seen, std::int32_t buffer) {
  server.SetBufferSize(buffer);
  server.SetOnUDPRead(
      [&seen, buffer](TIdUDPServer&, std::string_view data, const TIdSocketHandle& binding, std::uint32_t) {
        if (seen.inside) seen.overlapped = true;
        seen.inside = true;
        ++seen.delivered;
        if (data.size() > static_cast<std::size_t>(buffer) ||
            (data.size() > 5 && data.substr(5).find_first_not_of('o') == std::string_view::npos))
          ++seen.wrongSize;
        if (!binding.SenderIP().starts_with("127.")) ++seen.notLoopback;
        seen.senders.emplace(binding.SenderIP(), binding.SenderPort());
        seen.inside = false;
      });
}

// Pumps until the sender is done and both endpoints' queues are empty, bounded.
void PumpThrough(HeadlessDispatcher& dispatcher, FloodSender& sender, std::uint16_t mainPort,
                 std::uint16_t rulesPort) {
  const auto deadline = std::chrono::steady_clock::now() + 90s;
  auto empty = [](std::uint16_t port) {
    const auto state = ReadFloodSocketState(port);
    return state && state->queuedBytes == 0;
  };
  while (std::chrono::steady_clock::now() < deadline) {
    dispatcher.WaitAndRunPending(10ms);
    if (sender.Done() && empty(mainPort) && empty(rulesPort) && dispatcher.PendingCount() == 0) {
      // The listeners may each hold one datagram between the queue and the hand-over.
      dispatcher.WaitAndRunPending(50ms);
      if (dispatcher.PendingCount() == 0) return;
    }
  }
}

struct Endpoints {
  HeadlessDispatcher dispatcher;
  TIdUDPServer main{dispatcher};
  TIdUDPServer rules{dispatcher};
  Seen mainSeen;
  Seen rulesSeen;

  Endpoints() {
    Watch(main, mainSeen, kMainBuffer);
    Watch(rules, rulesSeen, kRulesBuffer);
    main.Open();
    rules.Open();
  }

  FloodPlan Plan(long datagrams, std::size_t queuedBytesLimit) const {
    FloodPlan plan;
    plan.mainPort = main.LocalPort();
    plan.rulesPort = rules.LocalPort();
    plan.datagrams = datagrams;
    plan.queuedBytesLimit = queuedBytesLimit;
    plan.timeLimit = 60s;
    return plan;
  }
};

void ExpectClean(const Seen& seen) {
  EXPECT_EQ(seen.wrongSize, 0);
  EXPECT_EQ(seen.notLoopback, 0);
  EXPECT_FALSE(seen.overlapped);
}

TEST(FloodEndpoint, DeliversWhatWasSentLessWhatTheSystemDropped) {
  const int descriptors = test::OpenDescriptorCount();
  {
    NetWatchdog watchdog(150s, "endpoint flood");
    Endpoints endpoints;
    FloodSender sender(3, 4);
    const FloodPlan plan = endpoints.Plan(200000, 0);
    sender.Start(plan);
    PumpThrough(endpoints.dispatcher, sender, plan.mainPort, plan.rulesPort);
    const FloodCounts sent = sender.Finish();
    const auto mainState = ReadFloodSocketState(plan.mainPort);
    const auto rulesState = ReadFloodSocketState(plan.rulesPort);
    ASSERT_TRUE(mainState && rulesState);
    EXPECT_FALSE(sent.timedOut);
    EXPECT_EQ(sent.Total() + sent.refused, plan.datagrams);

    const Seen& main = endpoints.mainSeen;
    EXPECT_LE(main.delivered, sent.MainCountable());
    EXPECT_GE(main.delivered, sent.MainCountable() - mainState->drops);
    const Seen& rules = endpoints.rulesSeen;
    EXPECT_LE(rules.delivered, sent.rulesParts + sent.rulesEmpty);
    EXPECT_GE(rules.delivered, sent.rulesParts + sent.rulesEmpty - rulesState->drops);
    ExpectClean(main);
    ExpectClean(rules);
    EXPECT_LE(main.senders.size(), 7u);  // the flood's own sockets only
    std::printf(
        "endpoint flood: sent %ld to main (%ld countable, %ld oversize), %ld to rules; delivered %ld "
        "and %ld; dropped by the system %ld and %ld\n",
        sent.MainCountable() + sent.oversize, sent.MainCountable(), sent.oversize,
        sent.rulesParts + sent.rulesEmpty, main.delivered, rules.delivered, mainState->drops,
        rulesState->drops);
  }
  EXPECT_EQ(test::OpenDescriptorCount(), descriptors);
}

TEST(FloodEndpoint, APacedFloodIsDeliveredWhole) {
  NetWatchdog watchdog(150s, "paced endpoint flood");
  Endpoints endpoints;
  FloodSender sender(2, 3);
  const FloodPlan plan = endpoints.Plan(50000, 32 * 1024);
  sender.Start(plan);
  PumpThrough(endpoints.dispatcher, sender, plan.mainPort, plan.rulesPort);
  const FloodCounts sent = sender.Finish();
  const auto mainState = ReadFloodSocketState(plan.mainPort);
  const auto rulesState = ReadFloodSocketState(plan.rulesPort);
  ASSERT_TRUE(mainState && rulesState);
  EXPECT_FALSE(sent.timedOut);
  EXPECT_EQ(sent.refused, 0);
  EXPECT_EQ(mainState->drops, 0);
  EXPECT_EQ(rulesState->drops, 0);
  EXPECT_EQ(endpoints.mainSeen.delivered, sent.MainCountable());
  EXPECT_EQ(endpoints.rulesSeen.delivered, sent.rulesParts + sent.rulesEmpty);
  EXPECT_EQ(endpoints.mainSeen.senders.size(), 5u);  // every main sender got through
  ExpectClean(endpoints.mainSeen);
  ExpectClean(endpoints.rulesSeen);
}

TEST(FloodEndpoint, ClosingInTheMiddleOfAFloodReturnsAndDeliversNothingAfter) {
  const int descriptors = test::OpenDescriptorCount();
  for (int round = 0; round < 5; ++round) {
    NetWatchdog watchdog(30s, "closing under a flood");
    Endpoints endpoints;
    FloodSender sender(2, 2);
    FloodPlan plan = endpoints.Plan(100000, 0);
    plan.timeLimit = 20s;
    plan.seed = static_cast<std::uint32_t>(round + 1);
    sender.Start(plan);
    // Take some, leave the listeners blocked in a hand-over, then close both.
    for (int i = 0; i < 20 + round * 10; ++i) endpoints.dispatcher.WaitAndRunPending(1ms);
    const auto before = std::chrono::steady_clock::now();
    endpoints.main.Close();
    endpoints.rules.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);  // a hang guard
    EXPECT_FALSE(endpoints.main.Active());
    const long delivered = endpoints.mainSeen.delivered + endpoints.rulesSeen.delivered;
    endpoints.dispatcher.RunPending();  // a hand-over cancelled by the close runs nothing
    EXPECT_EQ(endpoints.mainSeen.delivered + endpoints.rulesSeen.delivered, delivered);
    sender.Finish();
    ExpectClean(endpoints.mainSeen);
  }
  EXPECT_EQ(test::OpenDescriptorCount(), descriptors);
}

}  // namespace
}  // namespace vantrix

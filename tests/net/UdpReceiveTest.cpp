#include <climits>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/time/SteadyClock.h"
#include "core/time/TickClock.h"
#include "net/EndpointFixture.h"

namespace vantrix::test {
namespace {

using namespace std::chrono_literals;

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

using UdpReceive = EndpointFixture;

TEST_F(UdpReceive, RepliesFromTwoPeersArriveInOrderWithTheirOwnSender) {
  const NetPeer first("127.0.0.1");
  const NetPeer second("127.0.10.1");
  ASSERT_TRUE(first.SendTo(m_server.LocalPort(), "reply one"));
  ASSERT_TRUE(second.SendTo(m_server.LocalPort(), "reply two"));
  ASSERT_TRUE(AwaitDeliveries(2));

  const auto entries = m_log.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].bytes, "reply one");
  EXPECT_EQ(entries[0].senderIp, "127.0.0.1");
  EXPECT_EQ(entries[0].senderPort, first.Port());
  EXPECT_EQ(entries[1].bytes, "reply two");
  EXPECT_EQ(entries[1].senderIp, "127.0.10.1");
  EXPECT_EQ(entries[1].senderPort, second.Port());
  for (const auto& entry : entries) {
    EXPECT_EQ(entry.thread, std::this_thread::get_id());
    EXPECT_EQ(entry.sender, &m_server);
  }
  EXPECT_FALSE(m_log.Overlapped());
}

TEST_F(UdpReceive, ABurstIsDeliveredOneAtATimeInArrivalOrder) {
  const NetPeer first("127.0.0.1");
  const NetPeer second("127.0.10.1");
  constexpr int kCount = 60;
  for (int i = 0; i < kCount; ++i) {
    const NetPeer& peer = (i % 3 == 0) ? second : first;
    ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), "n" + std::to_string(i)));
  }
  ASSERT_TRUE(AwaitDeliveries(kCount));
  const auto entries = m_log.Entries();
  ASSERT_EQ(entries.size(), static_cast<std::size_t>(kCount));
  for (int i = 0; i < kCount; ++i) {
    const auto& entry = entries[static_cast<std::size_t>(i)];
    EXPECT_EQ(entry.bytes, "n" + std::to_string(i));
    EXPECT_EQ(entry.senderPort, ((i % 3 == 0) ? second : first).Port());
    EXPECT_EQ(entry.thread, std::this_thread::get_id());
  }
  EXPECT_FALSE(m_log.Overlapped());
}

TEST_F(UdpReceive, DatagramsLongerThanTheBufferAreDroppedNotCut) {
  const NetPeer peer;
  struct Step {
    std::int32_t bufferSize;
    std::size_t fits;
  };
  // The default first, then smaller limits as the settings would apply them while open.
  for (const Step step : {Step{TIdUDPServer::kDefaultBufferSize, 8192}, Step{600, 600}, Step{1024, 1024}}) {
    m_server.SetBufferSize(step.bufferSize);
    EXPECT_EQ(m_server.BufferSize(), step.bufferSize);
    const std::string whole = RandomBytes(step.fits, static_cast<unsigned>(step.fits));
    const std::size_t before = m_log.Count();
    ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), whole));
    ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), RandomBytes(step.fits + 1, 1)));
    ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), RandomBytes(1500 + step.fits, 2)));
    Flush(peer);
    const auto entries = m_log.Entries();
    ASSERT_EQ(entries.size(), before + 2) << "buffer " << step.bufferSize;
    EXPECT_EQ(entries[before].bytes, whole);
    EXPECT_EQ(entries[before + 1].bytes, m_marker);
  }
  m_server.SetBufferSize(1024);
  const std::size_t before = m_log.Count();
  ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), RandomBytes(1500, 3)));
  Flush(peer);
  EXPECT_EQ(m_log.Count(), before + 1);
}

TEST_F(UdpReceive, LargestDatagramFitsAnOversizedBuffer) {
  const NetPeer peer;
  m_server.SetBufferSize(INT32_MAX);
  const std::string largest = RandomBytes(65507, 11);
  ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), largest));
  ASSERT_TRUE(AwaitDeliveries(1));
  EXPECT_EQ(m_log.Entries()[0].bytes, largest);
}

TEST_F(UdpReceive, EmptyDatagramIsDeliveredWithSizeZero) {
  const NetPeer peer;
  ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), ""));
  ASSERT_TRUE(AwaitDeliveries(1));
  const auto entry = m_log.Entries()[0];
  EXPECT_TRUE(entry.bytes.empty());
  EXPECT_EQ(entry.senderIp, "127.0.0.1");
  EXPECT_EQ(entry.senderPort, peer.Port());
}

TEST_F(UdpReceive, BufferBelowOneLetsOnlyEmptyDatagramsThrough) {
  const NetPeer peer;
  for (const std::int32_t size : {0, -1, INT32_MIN}) {
    m_server.SetBufferSize(size);
    const std::size_t before = m_log.Count();
    ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), "x"));
    ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), ""));
    ASSERT_TRUE(AwaitDeliveries(before + 1));
    m_server.SetBufferSize(100);
    Flush(peer);
    const auto entries = m_log.Entries();
    ASSERT_EQ(entries.size(), before + 2) << "buffer " << size;
    EXPECT_TRUE(entries[before].bytes.empty());
    EXPECT_EQ(entries[before + 1].bytes, m_marker);
  }
}

TEST_F(UdpReceive, ArrivalTickIsTakenOnReceipt) {
  const NetPeer peer;
  const std::uint32_t before = SteadyClock::Now();
  ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), "tick"));
  // Let the datagram wait a while before the owner pumps: the tick must not be the pump's.
  std::this_thread::sleep_for(150ms);
  const std::uint32_t pumpStart = SteadyClock::Now();
  ASSERT_TRUE(AwaitDeliveries(1));
  const std::uint32_t tick = m_log.Entries()[0].arrivalTick;
  EXPECT_GE(TickDifference(tick, before), 0);
  EXPECT_GT(TickDifference(pumpStart, tick), 50);
}

// Replies that queue in the kernel while the owner is slow keep the time they arrived: the
// ping of the last of a burst must not grow by the handlers that ran before it.
TEST_F(UdpReceive, ArrivalTicksOfABurstDoNotWaitForASlowOwner) {
  constexpr int kBurst = 4;
  constexpr std::int32_t kHandlerMs = 60;
  const NetPeer peer;
  // The system turns stamping on a moment after the first socket asks (until then a datagram
  // is stamped when read): let one datagram through first.
  ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), "settle"));
  std::this_thread::sleep_for(50ms);
  ASSERT_TRUE(AwaitDeliveries(1));
  std::vector<std::uint32_t> ticks;
  m_server.SetOnUDPRead([&](TIdUDPServer&, std::string_view, const TIdSocketHandle&, std::uint32_t tick) {
    ticks.push_back(tick);
    std::this_thread::sleep_for(std::chrono::milliseconds(kHandlerMs));
  });
  const std::uint32_t before = SteadyClock::Now();
  for (int i = 0; i < kBurst; ++i) ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), "burst"));
  const std::uint32_t sent = SteadyClock::Now();
  ASSERT_TRUE(PumpUntil(m_dispatcher, [&] { return ticks.size() >= kBurst; }));
  EXPECT_GE(TickDifference(SteadyClock::Now(), sent), kBurst * kHandlerMs);
  for (const std::uint32_t tick : ticks) {
    // A wall-clock age turned into ticks may round a millisecond early.
    EXPECT_GE(TickDifference(tick, before), -1);
    EXPECT_LT(TickDifference(tick, sent), kHandlerMs);  // a stamp taken after a handler would not be
  }
}

TEST_F(UdpReceive, FailingHandlersDoNotStopTheListener) {
  const NetPeer peer;
  int calls = 0;
  std::vector<std::string> seen;
  m_server.SetOnUDPRead([&](TIdUDPServer&, std::string_view data, const TIdSocketHandle&, std::uint32_t) {
    ++calls;
    seen.emplace_back(data);
    if (data == "runtime") throw std::runtime_error("handler failed");
    if (data == "int") throw 42;
  });
  for (const char* text : {"runtime", "int", "after"}) ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), text));
  ASSERT_TRUE(PumpUntil(m_dispatcher, [&] { return calls >= 3; }));
  EXPECT_EQ(seen, (std::vector<std::string>{"runtime", "int", "after"}));
  EXPECT_TRUE(m_server.Active());
}

TEST_F(UdpReceive, DatagramsWithoutAHandlerAreConsumed) {
  const NetPeer peer;
  m_server.SetOnUDPRead(nullptr);
  ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), "unheard"));
  std::size_t ran = 0;
  for (int pass = 0; pass < 1000 && ran == 0; ++pass) ran += m_dispatcher.WaitAndRunPending(10ms);
  ASSERT_EQ(ran, 1u);
  m_log.Attach(m_server);
  ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), "heard"));
  ASSERT_TRUE(AwaitDeliveries(1));
  const auto entries = m_log.Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].bytes, "heard");
}

TEST_F(UdpReceive, SenderOfTheBindingMatchesTheDatagram) {
  const NetPeer first("127.0.0.1");
  const NetPeer second("127.0.10.1");
  std::vector<std::string> senders;
  m_server.SetOnUDPRead(
      [&](TIdUDPServer& server, std::string_view, const TIdSocketHandle& binding, std::uint32_t) {
        EXPECT_EQ(&binding, &server.Binding());
        senders.push_back(binding.SenderIP() + ":" + std::to_string(binding.SenderPort()));
      });
  ASSERT_TRUE(second.SendTo(m_server.LocalPort(), "a"));
  ASSERT_TRUE(first.SendTo(m_server.LocalPort(), "b"));
  ASSERT_TRUE(PumpUntil(m_dispatcher, [&] { return senders.size() >= 2; }));
  EXPECT_EQ(senders, (std::vector<std::string>{"127.0.10.1:" + std::to_string(second.Port()),
                                               "127.0.0.1:" + std::to_string(first.Port())}));
  EXPECT_EQ(m_server.Binding().SenderIP(), "127.0.0.1");
}

// Reading ahead: a burst that queued while the owner was busy comes in fewer hand-overs
// than datagrams, yet each is delivered alone, in arrival order, with its own sender; one
// longer than the buffer is dropped and an empty one delivered, as one at a time; a handler
// that closes the endpoint ends the rest of its batch.
TEST_F(UdpReceive, ReadingAheadHandsOverBatchesOfSingleDeliveries) {
  const NetPeer first("127.0.0.1");
  const NetPeer second("127.0.10.1");
  m_server.SetBufferSize(100);
  m_server.SetReadAhead(true);
  std::vector<std::pair<std::string, std::uint16_t>> expected;
  for (int i = 0; i < 150; ++i) {
    const NetPeer& peer = i % 3 == 0 ? second : first;
    const std::string bytes = i == 40 ? std::string(101, 'x') : i == 41 ? "" : "n" + std::to_string(i);
    ASSERT_TRUE(peer.SendTo(m_server.LocalPort(), bytes));
    if (i != 40) expected.emplace_back(bytes, peer.Port());
  }
  std::size_t handOvers = 0;
  for (int pass = 0; pass < 1000 && m_log.Count() < expected.size(); ++pass)
    handOvers += m_dispatcher.WaitAndRunPending(10ms);
  const auto entries = m_log.Entries();
  ASSERT_EQ(entries.size(), expected.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].bytes, expected[i].first);
    EXPECT_EQ(entries[i].senderPort, expected[i].second);
    EXPECT_EQ(entries[i].senderIp, expected[i].second == second.Port() ? "127.0.10.1" : "127.0.0.1");
  }
  EXPECT_LT(handOvers, expected.size() / 4);
  EXPECT_FALSE(m_log.Overlapped());

  std::vector<std::string> seen;
  m_server.SetOnUDPRead(
      [&](TIdUDPServer& server, std::string_view data, const TIdSocketHandle&, std::uint32_t) {
        seen.emplace_back(data);
        if (data == "close") server.Close();
      });
  for (const char* text : {"first", "close", "after"}) ASSERT_TRUE(first.SendTo(m_server.LocalPort(), text));
  ASSERT_TRUE(PumpUntil(m_dispatcher, [&] { return !m_server.Active(); }));
  m_dispatcher.WaitAndRunPending(50ms);
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "close"}));
}

TEST(UdpReceiveThreaded, ThreadedEventRunsTheHandlerOnTheListener) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  NetDeliveryLog log;
  log.Attach(server);
  server.SetThreadedEvent(true);
  server.Open();
  const NetPeer peer;
  ASSERT_TRUE(peer.SendTo(server.LocalPort(), "threaded"));
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (log.Count() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  ASSERT_EQ(log.Count(), 1u);
  EXPECT_NE(log.Entries()[0].thread, std::this_thread::get_id());
  EXPECT_EQ(log.Entries()[0].bytes, "threaded");
  EXPECT_EQ(dispatcher.PendingCount(), 0u);
  server.Close();
}

}  // namespace
}  // namespace vantrix::test

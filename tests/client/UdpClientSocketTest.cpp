#include "client/UdpClientSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/time/MonotonicClock.h"
#include "support/NetPeer.h"

namespace vantrix {
namespace {

// Replies read late (the checker was busy) are stamped with the time they came, so their
// pings do not carry the wait.
TEST(UdpClientSocket, RepliesDrainedLateKeepTheirArrivalTime) {
  constexpr std::uint64_t kBusyUs = 120'000;
  UdpClientSocket socket;
  sockaddr_in local{};
  socklen_t length = sizeof local;
  ASSERT_EQ(getsockname(socket.Fd(), reinterpret_cast<sockaddr*>(&local), &length), 0);
  MonotonicClock clock;
  const test::NetPeer peer;
  // The system turns stamping on a moment after the first socket asks (until then a datagram
  // is stamped when read): let one datagram through first.
  ASSERT_TRUE(peer.SendTo(ntohs(local.sin_port), "settle"));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::size_t settled = 0;
  for (int i = 0; i < 100 && settled == 0; ++i) {
    settled = socket.Drain([](const IPv4Endpoint&, std::string_view, std::uint64_t) {}, clock, 16);
    if (settled == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(settled, 1u);
  const std::uint64_t before = clock.NowUs();
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(peer.SendTo(ntohs(local.sin_port), "reply"));
  const std::uint64_t sent = clock.NowUs();
  std::this_thread::sleep_for(std::chrono::microseconds(kBusyUs));
  std::vector<std::uint64_t> arrivals;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (arrivals.size() < 3 && std::chrono::steady_clock::now() < deadline)
    socket.Drain([&](const IPv4Endpoint&, std::string_view, std::uint64_t at) { arrivals.push_back(at); },
                 clock, 16);
  ASSERT_EQ(arrivals.size(), 3u);
  // The stamp is a wall-clock age turned into the reader's clock, read a moment apart: a
  // millisecond of slack (sanitizer builds widen that moment), far below the wait measured.
  constexpr std::uint64_t kClockSlackUs = 1'000;
  for (const std::uint64_t at : arrivals) {
    EXPECT_GE(at + kClockSlackUs, before);
    EXPECT_LT(at, sent + kBusyUs / 2);  // a reading at the drain would be past sent + kBusyUs
  }
}

}  // namespace
}  // namespace vantrix

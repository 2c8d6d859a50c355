#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "net/EIdErrors.h"
#include "net/EndpointFixture.h"
#include "support/NetWatchdog.h"

namespace vantrix::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

int ThreadCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

// Sends small datagrams to one port from its own thread until stopped (or a time bound passes).
class Flood {
 public:
  explicit Flood(std::uint16_t port)
      : m_thread([this, port] {
          const auto deadline = Clock::now() + 20s;
          for (int i = 0; i < 2'000'000 && !m_stop && Clock::now() < deadline; ++i) {
            m_peer.SendTo(port, "flood");
            if (i % 64 == 0) std::this_thread::sleep_for(100us);
          }
        }) {}
  ~Flood() {
    m_stop = true;
    m_thread.join();
  }
  Flood(const Flood&) = delete;
  Flood& operator=(const Flood&) = delete;

 private:
  NetPeer m_peer;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

TEST(UdpLifecycle, OpenBindsAllInterfacesAtAnEphemeralPort) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  EXPECT_FALSE(server.Active());
  EXPECT_EQ(server.DefaultPort(), 0);
  EXPECT_EQ(server.BufferSize(), 8192);
  EXPECT_FALSE(server.BroadcastEnabled());
  EXPECT_FALSE(server.ThreadedEvent());
  EXPECT_TRUE(server.Bindings().empty());
  EXPECT_EQ(server.LocalPort(), 0);

  server.SetActive(true);
  ASSERT_TRUE(server.Active());
  ASSERT_EQ(server.Bindings().size(), 1u);
  const TIdSocketHandle& binding = server.Bindings()[0];
  EXPECT_EQ(binding.IP(), "0.0.0.0");
  EXPECT_NE(binding.Port(), 0);
  EXPECT_EQ(binding.Port(), server.LocalPort());
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  ASSERT_EQ(::getsockname(binding.Handle(), reinterpret_cast<sockaddr*>(&bound), &length), 0);
  EXPECT_EQ(bound.sin_family, AF_INET);
  EXPECT_EQ(bound.sin_addr.s_addr, htonl(INADDR_ANY));
  EXPECT_EQ(ntohs(bound.sin_port), server.LocalPort());
  int type = 0;
  length = sizeof type;
  ASSERT_EQ(::getsockopt(binding.Handle(), SOL_SOCKET, SO_TYPE, &type, &length), 0);
  EXPECT_EQ(type, SOCK_DGRAM);

  server.Open();  // already open: no second socket
  EXPECT_EQ(server.Bindings()[0].Port(), binding.Port());

  server.SetActive(false);
  EXPECT_FALSE(server.Active());
  EXPECT_TRUE(server.Bindings().empty());
  EXPECT_EQ(server.LocalPort(), 0);
  server.Close();  // closing twice is harmless
}

TEST(UdpLifecycle, PortInUseCannotBeBound) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer first(dispatcher);
  first.Open();
  TIdUDPServer second(dispatcher);
  second.SetDefaultPort(first.LocalPort());
  const int descriptors = OpenDescriptorCount();
  try {
    second.Open();
    ADD_FAILURE() << "second bind succeeded";
  } catch (const EIdCouldNotBindSocket& error) {
    EXPECT_STREQ(error.what(), "Could not bind socket. Address and port are already in use.");
  }
  EXPECT_FALSE(second.Active());
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
  // Once the port is free again the same endpoint opens on it.
  const std::uint16_t port = first.LocalPort();
  first.Close();
  second.Open();
  EXPECT_EQ(second.LocalPort(), port);
}

TEST(UdpLifecycle, PortsTheSystemCannotTakeAreOtherBindErrors) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  for (const int port : {65536, 70000, -1}) {
    server.SetDefaultPort(port);
    try {
      server.Open();
      ADD_FAILURE() << "opened at " << port;
    } catch (const EIdSocketError& error) {
      EXPECT_EQ(error.LastError(), EINVAL);
    }
    EXPECT_FALSE(server.Active());
  }
}

// Runs in a child process: allows no descriptor beyond those already in use, then opens.
[[noreturn]] void OpenWithoutFreeDescriptors() {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  rlimit saved{};
  ::getrlimit(RLIMIT_NOFILE, &saved);
  const int lowestFree = ::dup(0);
  ::close(lowestFree);
  const rlimit limit{static_cast<rlim_t>(lowestFree), saved.rlim_max};
  ::setrlimit(RLIMIT_NOFILE, &limit);
  int outcome = 1;
  try {
    server.Open();
  } catch (const EIdInvalidSocket& error) {
    // Descriptors back first: the checking tools of a sanitizer build need some of their own.
    ::setrlimit(RLIMIT_NOFILE, &saved);
    outcome = std::string(error.what()) == "Cannot allocate socket." && !server.Active() ? 0 : 2;
  } catch (...) {
    outcome = 3;
  }
  std::_Exit(outcome);
}

TEST(UdpLifecycleDeathTest, SocketThatCannotBeCreated) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(OpenWithoutFreeDescriptors(), ::testing::ExitedWithCode(0), "");
}

TEST(UdpLifecycle, CloseWakesTheIdleListenerAtOnce) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  server.Open();
  // Let the listener settle into its 1000 ms readiness wait.
  std::this_thread::sleep_for(50ms);
  const auto start = Clock::now();
  server.Close();
  // Without the wake-up this would take the rest of the wait, about 950 ms.
  EXPECT_LT(Clock::now() - start, 600ms);
}

// Waits (bounded) until the listener has posted a hand-over that nobody runs.
bool AwaitPendingHandOver(const HeadlessDispatcher& dispatcher) {
  const auto deadline = Clock::now() + 10s;
  while (dispatcher.PendingCount() == 0 && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
  return dispatcher.PendingCount() == 1;
}

TEST(UdpLifecycle, CloseWhileAHandOverWaitsForTheOwner) {
  HeadlessDispatcher dispatcher;
  NetDeliveryLog log;
  TIdUDPServer server(dispatcher);
  log.Attach(server);
  server.Open();
  Flood flood(server.LocalPort());
  // The owner does not pump, so the listener blocks in its first hand-over.
  ASSERT_TRUE(AwaitPendingHandOver(dispatcher));
  {
    const NetWatchdog watchdog(5s, "Close with a pending hand-over");
    const auto start = Clock::now();
    server.Close();
    EXPECT_LT(Clock::now() - start, 2s);
  }
  EXPECT_FALSE(server.Active());
  // The cancelled task still sits in the queue; running it must not call the handler.
  EXPECT_EQ(dispatcher.RunPending(), 1u);
  EXPECT_EQ(log.Count(), 0u);
  // Reopened, the endpoint delivers again, and nothing of the old hand-over comes back.
  server.Open();
  const NetPeer peer;
  ASSERT_TRUE(peer.SendTo(server.LocalPort(), "after reopen"));
  ASSERT_TRUE(PumpUntil(dispatcher, [&] { return log.Count() >= 1; }));
  EXPECT_EQ(log.Entries()[0].bytes, "after reopen");
}

TEST(UdpLifecycle, LateTaskOfADestroyedEndpointDoesNothing) {
  HeadlessDispatcher dispatcher;
  NetDeliveryLog log;
  auto server = std::make_unique<TIdUDPServer>(dispatcher);
  log.Attach(*server);
  server->Open();
  Flood flood(server->LocalPort());
  ASSERT_TRUE(AwaitPendingHandOver(dispatcher));
  {
    const NetWatchdog watchdog(5s, "destroying an endpoint with a pending hand-over");
    server.reset();
  }
  // A sanitizer build reports any touch of the destroyed endpoint here.
  EXPECT_EQ(dispatcher.RunPending(), 1u);
  EXPECT_EQ(log.Count(), 0u);
}

TEST(UdpLifecycle, HandlerMayCloseItsEndpoint) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  int calls = 0;
  server.SetOnUDPRead(
      [&](TIdUDPServer& sender, std::string_view data, const TIdSocketHandle& binding, std::uint32_t) {
        ++calls;
        sender.Close();
        // The data and the binding stay readable for the rest of the call.
        EXPECT_EQ(data, "flood");
        EXPECT_EQ(binding.SenderIP(), "127.0.0.1");
      });
  server.Open();
  // Datagrams keep arriving while the handler closes the endpoint.
  Flood flood(server.LocalPort());
  {
    const NetWatchdog watchdog(10s, "Close from inside the handler");
    ASSERT_TRUE(PumpUntil(dispatcher, [&] { return calls >= 1; }));
  }
  EXPECT_FALSE(server.Active());
  dispatcher.RunPending();
  EXPECT_EQ(calls, 1);
}

TEST(UdpLifecycle, HandlerMayDestroyItsEndpoint) {
  HeadlessDispatcher dispatcher;
  auto server = std::make_unique<TIdUDPServer>(dispatcher);
  std::string seen;
  server->SetOnUDPRead([&](TIdUDPServer&, std::string_view data, const TIdSocketHandle&, std::uint32_t) {
    server.reset();
    seen.assign(data);  // the datagram outlives the endpoint until the call returns
  });
  server->Open();
  const NetPeer peer;
  ASSERT_TRUE(peer.SendTo(server->LocalPort(), "goodbye"));
  ASSERT_TRUE(PumpUntil(dispatcher, [&] { return server == nullptr; }));
  EXPECT_EQ(seen, "goodbye");
}

TEST(UdpLifecycle, RepeatedOpenAndCloseLeaksNothing) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  NetDeliveryLog log;
  log.Attach(server);
  const NetPeer peer;
  // One warm-up round first: a sanitizer runtime starts a helper thread of its own when the
  // first thread is created, which is not ours to count.
  server.Open();
  server.Close();
  dispatcher.RunPending();
  const int descriptors = OpenDescriptorCount();
  const int threads = ThreadCount();
  for (int round = 0; round < 100; ++round) {
    server.Open();
    ASSERT_TRUE(server.Active());
    // Every few rounds leave a hand-over pending at close time.
    if (round % 10 == 0) {
      ASSERT_TRUE(peer.SendTo(server.LocalPort(), "pending"));
      ASSERT_TRUE(AwaitPendingHandOver(dispatcher));
    }
    const NetWatchdog watchdog(5s, "Close in the open/close loop");
    server.Close();
    dispatcher.RunPending();
  }
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
  EXPECT_EQ(ThreadCount(), threads);
  EXPECT_EQ(log.Count(), 0u);
  // And it still works afterwards.
  server.Open();
  ASSERT_TRUE(peer.SendTo(server.LocalPort(), "alive"));
  ASSERT_TRUE(PumpUntil(dispatcher, [&] { return log.Count() == 1; }));
  EXPECT_EQ(log.Entries()[0].bytes, "alive");
}

TEST(UdpLifecycle, ThreeEndpointsEachReceiveTheirOwnReplies) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer main(dispatcher), players(dispatcher), rules(dispatcher);
  NetDeliveryLog mainLog, playersLog, rulesLog;
  mainLog.Attach(main);
  playersLog.Attach(players);
  rulesLog.Attach(rules);
  players.SetBufferSize(32767);
  rules.SetBufferSize(32767);
  for (TIdUDPServer* server : {&main, &players, &rules}) server->Open();
  EXPECT_NE(main.LocalPort(), players.LocalPort());
  EXPECT_NE(players.LocalPort(), rules.LocalPort());
  const NetPeer gameServer;
  // Each endpoint asks; the game server answers whoever asked.
  main.Send("127.0.0.1", gameServer.Port(), "info");
  players.Send("127.0.0.1", gameServer.Port(), "players");
  rules.Send("127.0.0.1", gameServer.Port(), "rules");
  for (int i = 0; i < 3; ++i) {
    const auto request = gameServer.Receive(5s);
    ASSERT_TRUE(request.has_value());
    ASSERT_TRUE(gameServer.SendTo(request->port, "reply to " + request->bytes));
  }
  ASSERT_TRUE(
      PumpUntil(dispatcher, [&] { return mainLog.Count() + playersLog.Count() + rulesLog.Count() >= 3; }));
  ASSERT_EQ(mainLog.Count(), 1u);
  ASSERT_EQ(playersLog.Count(), 1u);
  ASSERT_EQ(rulesLog.Count(), 1u);
  EXPECT_EQ(mainLog.Entries()[0].bytes, "reply to info");
  EXPECT_EQ(playersLog.Entries()[0].bytes, "reply to players");
  EXPECT_EQ(rulesLog.Entries()[0].bytes, "reply to rules");
  EXPECT_EQ(mainLog.Entries()[0].sender, &main);
}

}  // namespace
}  // namespace vantrix::test

// Endpoint costs: how long closing takes, and how many datagrams per second pass through
// receive, hand-over to the owner thread and an empty handler.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <benchmark/benchmark.h>

#include "core/io/UniqueFd.h"
#include "net/HeadlessDispatcher.h"
#include "net/TIdUDPServer.h"

namespace {

using namespace std::chrono_literals;
using vantrix::HeadlessDispatcher;
using vantrix::TIdSocketHandle;
using vantrix::TIdUDPServer;
using Clock = std::chrono::steady_clock;

// A plain loopback socket that plays the game servers.
class LoopbackSender {
 public:
  explicit LoopbackSender(std::uint16_t port) : m_socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    m_target.sin_family = AF_INET;
    m_target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    m_target.sin_port = htons(port);
  }
  bool Send(const std::string& bytes) const {
    return ::sendto(m_socket.Get(), bytes.data(), bytes.size(), 0,
                    reinterpret_cast<const sockaddr*>(&m_target),
                    sizeof m_target) == static_cast<ssize_t>(bytes.size());
  }

 private:
  vantrix::UniqueFd m_socket;
  sockaddr_in m_target{};
};

bool WaitForPendingHandOver(const HeadlessDispatcher& dispatcher) {
  const auto deadline = Clock::now() + 5s;
  while (dispatcher.PendingCount() == 0) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(50us);
  }
  return true;
}

// Open followed at once by close.
void BM_OpenClose(benchmark::State& state) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  for (auto _ : state) {
    server.Open();
    server.Close();
  }
}
BENCHMARK(BM_OpenClose)->Unit(benchmark::kMillisecond);

// Close alone, with the listener idle in its readiness wait.
void BM_CloseTime(benchmark::State& state) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  for (auto _ : state) {
    server.Open();
    std::this_thread::sleep_for(2ms);  // let the listener reach its wait
    const auto start = Clock::now();
    server.Close();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
}
BENCHMARK(BM_CloseTime)->UseManualTime()->Unit(benchmark::kMillisecond);

// Close alone, with the listener blocked in a hand-over the owner never runs.
void BM_CloseTime_PendingHandOver(benchmark::State& state) {
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  server.SetOnUDPRead([](TIdUDPServer&, std::string_view, const TIdSocketHandle&, std::uint32_t) {});
  for (auto _ : state) {
    server.Open();
    const LoopbackSender sender(server.LocalPort());
    sender.Send("reply");
    if (!WaitForPendingHandOver(dispatcher)) {
      state.SkipWithError("no hand-over became pending");
      break;
    }
    const auto start = Clock::now();
    server.Close();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    dispatcher.RunPending();  // the cancelled task
  }
}
BENCHMARK(BM_CloseTime_PendingHandOver)->UseManualTime()->Unit(benchmark::kMillisecond);

// Datagrams per second from a loopback sender through the endpoint to an empty handler on
// the pumping thread. The sender keeps at most `window` datagrams in flight (sent but not yet
// handled), so none is lost in the socket buffer and every datagram counted was delivered.
// Arg 0 sends from the pumping thread itself, so its cost is charged too; arg 1 sends from a
// thread of its own, which measures the receive path alone.
void BM_Throughput(benchmark::State& state) {
  const bool ownSenderThread = state.range(0) != 0;
  const long window = state.range(1);
  constexpr long kBatch = 5000;
  HeadlessDispatcher dispatcher;
  TIdUDPServer server(dispatcher);
  std::atomic<long> delivered{0};
  server.SetOnUDPRead([&](TIdUDPServer&, std::string_view data, const TIdSocketHandle&, std::uint32_t) {
    benchmark::DoNotOptimize(data.data());
    delivered.fetch_add(1, std::memory_order_relaxed);
  });
  server.Open();
  const LoopbackSender sender(server.LocalPort());
  const std::string payload(64, 'r');
  std::atomic<long> allowed{0};  // datagrams the sender may send in all
  std::atomic<bool> stop{false};
  long sent = 0;
  // Sends what the window and the allowance permit; returns false when it had to stop early.
  auto sendSome = [&] {
    bool any = false;
    while (sent < allowed.load() && sent - delivered.load(std::memory_order_relaxed) < window) {
      if (!sender.Send(payload)) break;
      ++sent;
      any = true;
    }
    return any;
  };
  std::thread senderThread;
  if (ownSenderThread) {
    senderThread = std::thread([&] {
      while (!stop.load()) {
        if (!sendSome()) std::this_thread::sleep_for(20us);
      }
    });
  }
  for (auto _ : state) {
    const long target = delivered.load() + kBatch;
    allowed.fetch_add(kBatch);
    const auto deadline = Clock::now() + 20s;
    while (delivered.load() < target && Clock::now() < deadline) {
      if (!ownSenderThread) sendSome();
      dispatcher.WaitAndRunPending(5ms);
    }
    if (delivered.load() < target) {
      state.SkipWithError("datagrams were lost");
      break;
    }
  }
  stop = true;
  if (senderThread.joinable()) senderThread.join();
  state.SetItemsProcessed(delivered.load());
  server.Close();
}
BENCHMARK(BM_Throughput)
    ->ArgNames({"own_sender_thread", "window"})
    ->Args({0, 64})
    ->Args({1, 64})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Reference point, not endpoint code: two threads handing a turn back and forth through a
// mutex and condition variable. One blocking hand-over per datagram costs at least one such
// round trip, so this bounds BM_Throughput on the machine at hand.
void BM_HandOverFloor(benchmark::State& state) {
  std::mutex mutex;
  std::condition_variable changed;
  long turn = 0;
  bool stop = false;
  std::thread partner([&] {
    std::unique_lock lock(mutex);
    while (true) {
      changed.wait(lock, [&] { return stop || turn % 2 == 1; });
      if (stop) return;
      ++turn;
      changed.notify_all();
    }
  });
  for (auto _ : state) {
    std::unique_lock lock(mutex);
    ++turn;
    changed.notify_all();
    changed.wait(lock, [&] { return turn % 2 == 0; });
  }
  {
    const std::lock_guard lock(mutex);
    stop = true;
  }
  changed.notify_all();
  partner.join();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HandOverFloor)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

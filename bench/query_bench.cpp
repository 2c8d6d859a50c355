// Cost of handling one info reply in a large table, and of decoding one reply.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/protocol/CurrentInfoReply.h"
#include "core/protocol/OriginalInfoReply.h"
#include "core/query/QueryEngine.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"
#include "fake/FakeReplies.h"

namespace {

using namespace vantrix;

// Stand-ins that do nothing: the handler never waits, so none of them is exercised.
struct StillClock final : TickClock {
  std::uint32_t now = 1000;
  std::uint32_t Ticks() override { return now; }
};
struct NoSleep final : Sleeper {
  void Sleep(std::uint32_t) override {}
};
struct NoEvents final : EventPump {
  void ProcessEvents() override {}
};
struct NoTimer final : OneShotTimer {
  void Start(std::uint32_t) override {}
  void Stop() override {}
};
struct NoSend final : DatagramSender {
  std::string Send(const std::string& host, int, std::string_view) override { return host; }
};
struct Defaults final : SettingsReader {
  Settings Snapshot() const override { return values; }
  Settings values;
};

std::string HostOf(int i) {
  return "10." + std::to_string(i / 65536) + "." + std::to_string(i / 256 % 256) + "." +
         std::to_string(i % 256);
}

std::string Reply(int i) {
  fake::InfoFields fields;
  fields.address = HostOf(i) + ":27015";
  fields.name = "Vantrix Test Server " + std::to_string(i);
  fields.map = "de_dust2";
  fields.players = static_cast<std::uint8_t>(i % 20);
  fields.maxPlayers = 20;
  return fake::BuildInfoReply(fields);
}

// The same server as an 'I' reply tells it.
std::string CurrentReply(int i) {
  fake::CurrentInfoFields fields;
  fields.name = "Vantrix Test Server " + std::to_string(i);
  fields.map = "de_dust2";
  fields.players = static_cast<std::uint8_t>(i % 20);
  fields.maxPlayers = 20;
  return fake::BuildCurrentInfoReply(fields);
}

// One info reply handled (decoded and written into its row) per iteration; range(1) picks
// the protocol: 0 the original ('m' replies), 1 the current ('I' replies).
void BM_ReplyHandling(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const bool current = state.range(1) != 0;
  ServerTable table;
  StatusLine status;
  Defaults settings;
  settings.values.queryProtocol = current ? QueryProtocol::kCurrent : QueryProtocol::kOriginal;
  StillClock clock;
  NoSleep sleeper;
  NoEvents pump;
  NoTimer timer;
  NoSend sender;
  std::size_t logged = 0;
  QueryEngine engine(table, status, settings, clock, sleeper, pump, timer, sender,
                     [&](const std::string& datagram) { logged += datagram.size(); });
  for (int i = 0; i < rows; ++i) table.AppendRow(HostOf(i) + ":27015");

  // Replies from rows spread over the table, in an order that defeats the cache a little.
  constexpr int kReplies = 1024;
  std::vector<std::string> replies;
  std::vector<std::string> senders;
  for (int k = 0; k < kReplies; ++k) {
    const int row = static_cast<int>((static_cast<long long>(k) * 7919) % rows);
    replies.push_back(current ? CurrentReply(row) : Reply(row));
    senders.push_back(HostOf(row));
  }
  std::size_t k = 0;
  for (auto _ : state) {
    engine.OnDatagram(replies[k], senders[k], 27015, clock.now);
    k = (k + 1) % kReplies;
  }
  benchmark::DoNotOptimize(logged);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReplyHandling)->ArgNames({"rows", "current"})->ArgsProduct({{1'000, 10'000, 50'000}, {0, 1}});

void BM_DecodeInfoReply(benchmark::State& state) {
  const std::string reply = Reply(12345);
  for (auto _ : state) {
    auto decoded = DecodeOriginalInfoReply(reply);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeInfoReply);

void BM_DecodeCurrentInfoReply(benchmark::State& state) {
  const std::string reply = CurrentReply(12345);
  for (auto _ : state) {
    auto decoded = DecodeCurrentInfoReply(reply);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeCurrentInfoReply);

}  // namespace

BENCHMARK_MAIN();

// The history's two budgets: what a refresh of 1,000 watched rows costs the main thread
// (build the samples, queue them), and the file a month of 1,000 servers every 30 s leaves.

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/table/ServerTable.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "support/BenchLists.h"

namespace vantrix {
namespace {

constexpr int kServers = 1000;
constexpr std::int64_t kStart = 1'700'000'400;

class SteppedClock final : public WallClock {
 public:
  std::int64_t NowSeconds() const override { return m_now.load(); }
  TimeOfDay LocalTimeOfDay() const override { return {}; }  // the history reads seconds only
  void Advance(std::int64_t seconds) { m_now += seconds; }

 private:
  std::atomic<std::int64_t> m_now{kStart};
};

// A fresh folder for the file, removed afterwards.
class BenchFolder {
 public:
  BenchFolder()
      : m_path(std::filesystem::temp_directory_path() /
               ("vantrix-history-bench-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(m_path);
  }
  ~BenchFolder() { std::filesystem::remove_all(m_path); }
  std::string File() const { return (m_path / "history.sqlite").string(); }
  std::uintmax_t Bytes() const {
    std::uintmax_t total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) total += entry.file_size();
    return total;
  }

 private:
  std::filesystem::path m_path;
};

// The main thread's share of a refresh: 1,000 watched rows become one batch in the queue.
// The writer thread works meanwhile, as it would in the window.
void BM_HistoryRefreshOnMainThread(benchmark::State& state) {
  BenchFolder folder;
  SteppedClock clock;
  HistoryStore store(folder.File(), clock);
  ServerTable table;
  std::vector<RowId> rows;
  for (int i = 0; i < kServers; ++i) {
    const int position = table.AppendRow(bench::Address(i));
    table.SetCell(position, kWCell, i % 20 == 0 ? "-" : "+");
    table.SetCell(position, kPingCell, std::to_string(20 + i % 80));
    table.SetCell(position, kPlayersCell, std::to_string(i % 24) + "/24");
    rows.push_back(table.IdOf(position));
  }
  HistoryRecorder recorder(table, clock,
                           [&](std::vector<HistorySample> batch) { store.Record(std::move(batch)); });
  recorder.SetWatched([](const ServerRow&) { return true; });
  int refreshes = 0;
  for (auto _ : state) {
    recorder.ChecksFinished(rows);
    clock.Advance(30);
    if (++refreshes % 64 == 0) {
      state.PauseTiming();
      store.Flush();  // the writer keeps up over time; the queue does not grow without end
      state.ResumeTiming();
    }
  }
  store.Flush();
  state.SetItemsProcessed(state.iterations() * kServers);
}
BENCHMARK(BM_HistoryRefreshOnMainThread)->Unit(benchmark::kMillisecond);

// A synthetic month on the writer's path: 1,000 servers every 30 s, one transaction per
// refresh, retention every ten minutes. Reports the file's size at the end (file_MB) and
// the rows kept. Argument: days.
void BM_HistorySyntheticMonth(benchmark::State& state) {
  const std::int64_t days = state.range(0);
  for (auto _ : state) {
    BenchFolder folder;
    std::int64_t samples = 0;
    std::int64_t aggregates = 0;
    {
      HistoryDatabase db(folder.File());
      std::vector<HistorySample> batch(kServers);
      for (int i = 0; i < kServers; ++i) batch[static_cast<std::size_t>(i)].address = bench::Address(i);
      std::int64_t nextRetain = kStart + 600;
      for (std::int64_t t = kStart; t < kStart + days * 86'400; t += 30) {
        for (int i = 0; i < kServers; ++i) {
          HistorySample& sample = batch[static_cast<std::size_t>(i)];
          sample.time = t;
          sample.answered = (t / 30 + i) % 25 != 0;
          sample.players = static_cast<int>((t / 3600 + i) % 24);
          sample.maxPlayers = 24;
          sample.ping = 20 + static_cast<int>((t / 30 + i) % 60);
        }
        db.Append(batch);
        if (t >= nextRetain) {
          db.Retain(t);
          nextRetain = t + 600;
        }
      }
      samples = db.SampleCount();
      aggregates = db.AggregateCount();
    }
    state.counters["file_MB"] = static_cast<double>(folder.Bytes()) / 1e6;
    state.counters["samples"] = static_cast<double>(samples);
    state.counters["aggregates"] = static_cast<double>(aggregates);
  }
}
BENCHMARK(BM_HistorySyntheticMonth)->Arg(30)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vantrix

BENCHMARK_MAIN();

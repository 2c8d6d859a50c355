// Auto refresh of watched servers in the main window: 1,000 simulated servers on 127.0.0.1,
// every one watched, with a buddy (so their players are asked too). Ten refreshes run one
// after the other; the window's CPU time over them, divided by ten 30-second intervals, is
// its share of a core at "Auto refresh: 30 seconds" (the window is idle between refreshes).
// Also the longest gap between two turns of the event loop during the refreshes, and the
// memory the watch state holds (resident size with every row watched and observed, above
// the same window with the same list before anything was watched).

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>

#include "core/settings/SettingsValuesReader.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/platform/ErrorReporter.h"
#include "gui/platform/TableCheckDriver.h"
#include "gui/watch/WatchCommand.h"
#include "support/FakeServerLauncher.h"
#include "support/WindowBench.h"

namespace {

using namespace vantrix;
using Clock = std::chrono::steady_clock;

constexpr int kServers = 1000;
constexpr int kRefreshes = 10;
constexpr double kIntervalSeconds = 30;

class QuietErrorReporter final : public ErrorReporter {
 public:
  void Report(const std::string& text) override { std::fprintf(stderr, "error report: %s\n", text.c_str()); }
};

double ResidentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Figures {
  double cpuSecondsPerRefresh = 0;
  double wallSecondsPerRefresh = 0;
  double longestGapMs = 0;
  double watchKilobytes = 0;
  int answered = 0;
  std::size_t observed = 0;
};

bool Measure(TForm1& form, int basePort, Figures& figures) {
  ServerTable& table = form.Table();
  table.Clear();
  table.BeginUpdate();
  for (int i = 0; i < kServers; ++i) table.AppendRow("127.0.0.1:" + std::to_string(basePort + i));
  table.EndUpdate();
  // One refresh with nothing watched fills the cells first, so that the baseline holds them.
  const auto waitForRun = [&form] {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (form.AtOnce().Running() && Clock::now() < deadline)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return !form.AtOnce().Running();
  };
  if (!form.Watch().Refresh() || !waitForRun()) return false;
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  const double before = ResidentKilobytes();
  for (int i = 0; i < kServers; ++i) form.Watch().Toggle(std::string(table.Address(i)));
  form.Watch().SetBuddies({"Player 1"});

  Clock::time_point lastTurn = Clock::now();
  Clock::duration longestGap{};
  QTimer turns;
  turns.setInterval(2);
  turns.setTimerType(Qt::PreciseTimer);
  QObject::connect(&turns, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    longestGap = std::max(longestGap, now - lastTurn);
    lastTurn = now;
  });
  const double cpuBefore = CpuSeconds();
  const auto start = Clock::now();
  turns.start();
  lastTurn = Clock::now();
  for (int refresh = 0; refresh < kRefreshes; ++refresh) {
    if (!form.Watch().Refresh() || !waitForRun()) return false;
  }
  turns.stop();
  const auto end = Clock::now();
  // The probe's own ticks (500 a second) are counted too, so the share is an upper bound.
  figures.cpuSecondsPerRefresh = (CpuSeconds() - cpuBefore) / kRefreshes;
  figures.wallSecondsPerRefresh = std::chrono::duration<double>(end - start).count() / kRefreshes;
  figures.longestGapMs = std::chrono::duration<double, std::milli>(longestGap).count();
  figures.watchKilobytes = ResidentKilobytes() - before;
  figures.observed = form.Watch().Transitions().Servers();
  figures.answered = 0;
  for (int i = 0; i < table.Count(); ++i) figures.answered += table.Cell(i, kWCell) == "+";
  return true;
}

class WatchHooks final : public bench::WindowBenchHooks {
 public:
  int Run(const std::function<void()>& run) override {
    Application app;
    SettingsValuesReader settings;
    app.SetErrorReporter(std::make_unique<QuietErrorReporter>());
    app.SetProgramEnd([] {});
    // watch.ini of the benchmark's own, never the user's.
    const std::string folder = "/tmp/vantrix-watch-bench-" + std::to_string(getpid());
    app.Form1().Watch().SetPath(folder + "/watch.ini");
    app.Form1().SetSettingsReader(&settings);
    app.Form1().show();

    test::FakeServerLauncher servers;
    test::FakeServerLauncher::Plan plan;
    plan.count = kServers;
    plan.lowestPort = 20000;
    plan.highestPort = 32000;
    if (!servers.Start(plan)) {
      std::fprintf(stderr, "gui_watch_bench: the simulated servers did not start: %s\n",
                   servers.Error().c_str());
      return 1;
    }
    const int basePort = servers.BasePort();
    benchmark::RegisterBenchmark("WatchRefresh/1000",
                                 [&](benchmark::State& state) {
                                   Figures figures;
                                   for (auto _ : state) {
                                     if (!Measure(app.Form1(), basePort, figures)) {
                                       state.SkipWithError("a refresh did not start or end");
                                       return;
                                     }
                                     state.SetIterationTime(figures.wallSecondsPerRefresh);
                                   }
                                   state.counters["cpu_ms_per_refresh"] = figures.cpuSecondsPerRefresh * 1000;
                                   state.counters["core_share_at_30s_pct"] =
                                       figures.cpuSecondsPerRefresh / kIntervalSeconds * 100;
                                   state.counters["longest_gap_ms"] = figures.longestGapMs;
                                   state.counters["watch_kb"] = figures.watchKilobytes;
                                   state.counters["answered"] = figures.answered;
                                   state.counters["observed"] = static_cast<double>(figures.observed);
                                 })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);
    run();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
  }
};

}  // namespace

vantrix::bench::WindowBenchHooks& vantrix::bench::Hooks() {
  static WatchHooks hooks;
  return hooks;
}

// "Check all servers at once" in the main window over simulated servers on 127.0.0.1, 10%
// of them silent, with the time-out of 400 ms and one more attempt: the floor is two
// time-outs (0.8 s). Besides the run's time it measures what a user feels meanwhile: the
// longest gap between two turns of the event loop, how often the list repaints, and the
// memory the run takes above the idle window holding the same list.
//
// With VANTRIX_BENCH_LIST set to a list file (one address a line) it checks that list
// instead of starting servers of its own, and VANTRIX_BENCH_TIMES names a file that gets
// the line "label, answered, wall s, cpu s, ping median/max ms" (tab-separated) for
// bench/peers/run.sh.

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QTreeView>

#include "core/settings/SettingsValuesReader.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/platform/ErrorReporter.h"
#include "gui/platform/TableCheckDriver.h"
#include "support/FakeServerLauncher.h"
#include "support/WindowBench.h"

namespace {

using namespace vantrix;
using Clock = std::chrono::steady_clock;

class QuietErrorReporter final : public ErrorReporter {
 public:
  void Report(const std::string& text) override { std::fprintf(stderr, "error report: %s\n", text.c_str()); }
};

double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the list's paints.
class PaintCounter final : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

struct Figures {
  double wallSeconds = 0;
  double cpuSeconds = 0;
  double longestGapMs = 0;
  double repaintsPerSecond = 0;
  double megabytesAboveIdle = 0;
  int answered = 0;
  // The Ping cells of the answering rows, in milliseconds.
  int medianPingMs = 0;
  int maxPingMs = 0;

  double CpuPerReplyUs() const { return answered > 0 ? cpuSeconds * 1e6 / answered : 0; }
};

// The median and the largest Ping of the rows that answered.
void ReadPings(const ServerTable& table, Figures& figures) {
  std::vector<int> pings;
  for (int i = 0; i < table.Count(); ++i)
    if (table.Cell(i, kWCell) == "+")
      pings.push_back(std::atoi(std::string(table.Cell(i, kPingCell)).c_str()));
  if (pings.empty()) return;
  std::sort(pings.begin(), pings.end());
  figures.medianPingMs = pings[pings.size() / 2];
  figures.maxPingMs = pings.back();
}

// One run over the rows, the window shown; returns false when it did not end in time.
bool RunOnce(TForm1& form, const std::vector<std::string>& addresses, Figures& figures) {
  ServerTable& table = form.Table();
  table.Clear();
  table.BeginUpdate();
  for (const std::string& address : addresses) table.AppendRow(address);
  table.EndUpdate();
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();  // the list drawn, idle

  PaintCounter counter;
  form.ListView1()->viewport()->installEventFilter(&counter);
  const double idleMegabytes = ResidentMegabytes();
  double peakMegabytes = idleMegabytes;
  Clock::time_point lastTurn = Clock::now();
  Clock::duration longestGap{};
  // A probe every 2 ms: the longest time between two of its ticks bounds the longest
  // stretch the loop was held (plus the 2 ms). A 0 ms probe would keep a core busy itself.
  QTimer turns;
  turns.setInterval(2);
  turns.setTimerType(Qt::PreciseTimer);
  Clock::time_point lastSample = Clock::now();
  QObject::connect(&turns, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    longestGap = std::max(longestGap, now - lastTurn);
    lastTurn = now;
    if (now - lastSample >= std::chrono::milliseconds(20)) {
      lastSample = now;
      peakMegabytes = std::max(peakMegabytes, ResidentMegabytes());
    }
  });

  const double cpuBefore = CpuSeconds();
  const auto start = Clock::now();
  turns.start();
  lastTurn = Clock::now();
  form.Checkallatonce1Click();
  const auto deadline = start + std::chrono::seconds(60);
  while (form.AtOnce().Running() && Clock::now() < deadline)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const auto end = Clock::now();
  turns.stop();
  peakMegabytes = std::max(peakMegabytes, ResidentMegabytes());
  form.ListView1()->viewport()->removeEventFilter(&counter);
  if (form.AtOnce().Running()) return false;

  figures.wallSeconds = std::chrono::duration<double>(end - start).count();
  figures.cpuSeconds = CpuSeconds() - cpuBefore;
  figures.longestGapMs = std::chrono::duration<double, std::milli>(longestGap).count();
  figures.repaintsPerSecond = counter.paints / figures.wallSeconds;
  figures.megabytesAboveIdle = peakMegabytes - idleMegabytes;
  figures.answered = 0;
  for (int i = 0; i < table.Count(); ++i) figures.answered += table.Cell(i, kWCell) == "+";
  ReadPings(table, figures);
  return true;
}

struct Window {
  Application app;
  SettingsValuesReader settings;

  Window() {
    app.SetErrorReporter(std::make_unique<QuietErrorReporter>());
    app.SetProgramEnd([] {});
    app.Form1().SetSettingsReader(&settings);
    app.Form1().show();
  }
};

void Report(benchmark::State& state, const Figures& figures) {
  state.counters["wall_s"] = figures.wallSeconds;
  state.counters["floor_s"] = 0.8;
  state.counters["cpu_s"] = figures.cpuSeconds;
  state.counters["answered"] = figures.answered;
  state.counters["longest_gap_ms"] = figures.longestGapMs;
  state.counters["repaints_per_s"] = figures.repaintsPerSecond;
  state.counters["mb_above_idle"] = figures.megabytesAboveIdle;
  state.counters["ping_median_ms"] = figures.medianPingMs;
  state.counters["ping_max_ms"] = figures.maxPingMs;
  state.counters["cpu_per_reply_us"] = figures.CpuPerReplyUs();
}

void CheckAtOnce(benchmark::State& state, Window& window, const std::vector<std::string>& addresses) {
  Figures figures;
  for (auto _ : state) {
    if (!RunOnce(window.app.Form1(), addresses, figures)) {
      state.SkipWithError("the run did not end within 60 s");
      return;
    }
    state.SetIterationTime(figures.wallSeconds);
  }
  Report(state, figures);
}

std::vector<std::string> ReadList(const char* path) {
  std::vector<std::string> addresses;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) addresses.push_back(line);
  }
  return addresses;
}

// With a list named it measures that list once instead of running the benchmarks.
class AtOnceHooks final : public bench::WindowBenchHooks {
 public:
  int Run(const std::function<void()>& run) override {
    Window window;

    if (const char* list = std::getenv("VANTRIX_BENCH_LIST")) {
      const std::vector<std::string> addresses = ReadList(list);
      Figures figures;
      if (addresses.empty() || !RunOnce(window.app.Form1(), addresses, figures)) {
        std::fprintf(stderr, "gui_atonce_bench: no list, or the run did not end\n");
        return 1;
      }
      std::printf(
          "window Ctrl+F10: %zu rows, %d answered, %.3f s (cpu %.3f s, %.1f us a reply), ping median %d ms, "
          "max %d ms, longest loop gap %.1f ms, %.1f repaints/s, %.1f MB above idle\n",
          addresses.size(), figures.answered, figures.wallSeconds, figures.cpuSeconds,
          figures.CpuPerReplyUs(), figures.medianPingMs, figures.maxPingMs, figures.longestGapMs,
          figures.repaintsPerSecond, figures.megabytesAboveIdle);
      if (const char* times = std::getenv("VANTRIX_BENCH_TIMES")) {
        std::ofstream out(times, std::ios::app);
        char line[160];
        std::snprintf(line, sizeof line, "window: Check all servers at once\t%d\t%.3f\t%.3f\t%d/%d\n",
                      figures.answered, figures.wallSeconds, figures.cpuSeconds, figures.medianPingMs,
                      figures.maxPingMs);
        out << line;
      }
      return 0;
    }

    // One set of servers; the smaller run takes the first of them (the silent ones are spread
    // evenly, so a tenth of those is silent too).
    test::FakeServerLauncher servers;
    test::FakeServerLauncher::Plan plan;
    plan.count = 10000;
    plan.options = {"--silent-share", "0.1"};
    // Below the ephemeral range and below the stretch the tests use, so that a test run
    // beside the benchmark does not collide with ten thousand ports.
    plan.lowestPort = 2000;
    plan.highestPort = 20000;
    plan.readyWithin = std::chrono::seconds(30);
    if (!servers.Start(plan)) {
      std::fprintf(stderr, "gui_atonce_bench: the simulated servers did not start: %s\n",
                   servers.Error().c_str());
      return 1;
    }
    for (int count : {1000, 10000}) {
      auto addresses = std::make_shared<std::vector<std::string>>();
      for (int i = 0; i < count; ++i)
        addresses->push_back("127.0.0.1:" + std::to_string(servers.BasePort() + i));
      benchmark::RegisterBenchmark(
          ("CheckAtOnce/" + std::to_string(count)).c_str(),
          [&window, addresses](benchmark::State& state) { CheckAtOnce(state, window, *addresses); })
          ->Unit(benchmark::kMillisecond)
          ->UseManualTime()
          ->Iterations(3);
    }
    run();
    return 0;
  }
};

}  // namespace

vantrix::bench::WindowBenchHooks& vantrix::bench::Hooks() {
  static AtOnceHooks hooks;
  return hooks;
}

// How long a screen reader waits for an answer while the main window checks servers: a
// client on a private accessibility bus reads the message panel every 20 ms during
// "Check all servers" over three simulated servers on 127.0.0.1 that never answer, with
// the wait's slice (UDPDelay) at 5, 100 and 999 ms. Target: the longest answer under 50 ms
// at every slice length.
//
// Needs a virtual display, a session bus and the accessibility bus launcher; it says so
// and stops when they are not installed.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>

#include "core/settings/SettingsValuesReader.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/atspi/AtSpiReader.h"
#include "gui/atspi/AtSpiSession.h"
#include "support/FakeServerLauncher.h"
#include "support/WindowBench.h"

namespace {

using namespace vantrix;
using vantrix::test::AtSpiReader;
using vantrix::test::AtSpiSession;

constexpr int kServers = 3;
constexpr int kReadPeriodMilliseconds = 20;

void CheckAllWhileRead(benchmark::State& state, TForm1& form, SettingsValuesReader& settings,
                       const AtSpiReader& reader, const char* udpDelay) {
  settings.Values().udpDelay = udpDelay;
  settings.Values().progress = true;
  double longest = 0;
  double sum = 0;
  std::int64_t answers = 0;
  for (auto _ : state) {
    const auto start = AtSpiReader::Clock::now();
    form.CheckallF121Click();
    const auto end = AtSpiReader::Clock::now();
    state.PauseTiming();
    for (const auto& reading : reader.Readings()) {
      if (reading.asked < start || reading.asked > end) continue;
      if (!reading.ok) {
        state.SkipWithError("a read went unanswered");
        return;
      }
      const double waited =
          std::chrono::duration<double, std::milli>(reading.answered - reading.asked).count();
      longest = std::max(longest, waited);
      sum += waited;
      ++answers;
    }
    state.ResumeTiming();
  }
  if (answers == 0) {
    state.SkipWithError("no read was answered during the runs");
    return;
  }
  state.counters["longest_answer_ms"] = longest;
  state.counters["mean_answer_ms"] = sum / static_cast<double>(answers);
  state.counters["answers"] = static_cast<double>(answers);
}

// The accessibility bus and its display come before the application, which joins them.
class AtSpiHooks final : public bench::WindowBenchHooks {
 public:
  std::optional<int> BeforeApplication() override {
    if (m_session.Start()) return std::nullopt;
    std::fprintf(stderr, "gui_atspi_bench: no accessibility bus: %s\n", m_session.Problem().c_str());
    return 0;
  }

  int Run(const std::function<void()>& run) override {
    // The simulated servers, all silent, on a stretch of high ports.
    test::FakeServerLauncher servers;
    test::FakeServerLauncher::Plan plan;
    plan.count = kServers;
    plan.options = {"--silent", std::to_string(kServers)};
    plan.lowestPort = 20000;
    plan.highestPort = 32000;
    plan.readyWithin = std::chrono::seconds(30);
    if (!servers.Start(plan)) {
      std::fprintf(stderr, "gui_atspi_bench: the simulated servers did not start: %s\n",
                   servers.Error().c_str());
      return 1;
    }
    Application app;
    app.SetProgramEnd([] {});
    SettingsValuesReader settings;
    TForm1& form = app.Form1();
    form.SetSettingsReader(&settings);
    for (int i = 0; i < kServers; ++i)
      form.Table().AppendRow("127.0.0.1:" + std::to_string(servers.BasePort() + i));
    form.show();

    // The reader finds the message panel by the text it shows at start, then reads it
    // until the end; the main thread runs its events meanwhile so that it is answered.
    AtSpiReader reader;
    reader.Start(QString::fromStdString(m_session.SessionBusAddress()), form.StatusPanel(2)->text(),
                 kReadPeriodMilliseconds, {}, 15000, 100000);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!reader.Found() && !reader.Finished() && std::chrono::steady_clock::now() < giveUp)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!reader.Found()) {
      std::fprintf(stderr, "gui_atspi_bench: the reader found no message panel: %s\n",
                   qPrintable(reader.Problem()));
      return 1;
    }

    for (const char* delay : {"5", "100", "999"}) {
      benchmark::RegisterBenchmark(
          (std::string("CheckAll3Silent/UDPDelay:") + delay).c_str(),
          [&, delay](benchmark::State& state) { CheckAllWhileRead(state, form, settings, reader, delay); })
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime()
          ->Iterations(2);
    }
    run();
    reader.Stop();
    return 0;
  }

 private:
  AtSpiSession m_session;
};

}  // namespace

vantrix::bench::WindowBenchHooks& vantrix::bench::Hooks() {
  static AtSpiHooks hooks;
  return hooks;
}

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
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>

#include "core/settings/SettingsValuesReader.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/atspi/AtSpiReader.h"
#include "gui/atspi/AtSpiSession.h"

namespace {

using namespace vantrix;
using vantrix::test::AtSpiReader;
using vantrix::test::AtSpiSession;

constexpr int kServers = 3;
constexpr int kReadPeriodMilliseconds = 20;

// The simulated servers, all silent, as a child process on a stretch of high ports.
class SilentServers {
 public:
  ~SilentServers() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) m_process.kill();
    m_process.waitForFinished(5000);
  }

  bool Start() {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/vantrix-fakeserver");
    for (int attempt = 0; attempt < 8; ++attempt) {
      m_basePort = 20000 + QRandomGenerator::global()->bounded(12000 - kServers);
      m_process.start(program,
                      {QStringLiteral("--count"), QString::number(kServers), QStringLiteral("--base-port"),
                       QString::number(m_basePort), QStringLiteral("--silent"), QString::number(kServers)});
      if (!m_process.waitForStarted(10000)) return false;
      for (int pass = 0; pass < 300; ++pass) {
        if (m_process.canReadLine() && m_process.readLine().startsWith("ready")) return true;
        if (m_process.state() == QProcess::NotRunning) break;
        m_process.waitForReadyRead(100);
      }
      m_process.kill();
      m_process.waitForFinished(5000);
    }
    return false;
  }

  int BasePort() const { return m_basePort; }

 private:
  QProcess m_process;
  int m_basePort = 0;
};

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

}  // namespace

int main(int argc, char** argv) {
  AtSpiSession session;
  if (!session.Start()) {
    std::fprintf(stderr, "gui_atspi_bench: no accessibility bus: %s\n", session.Problem().c_str());
    return 0;
  }
  QApplication qtApp(argc, argv);
  benchmark::Initialize(&argc, argv);

  SilentServers servers;
  if (!servers.Start()) {
    std::fprintf(stderr, "gui_atspi_bench: the simulated servers did not start\n");
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
  reader.Start(QString::fromStdString(session.SessionBusAddress()), form.StatusPanel(2)->text(),
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
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  reader.Stop();
  return 0;
}

// "Check all servers" in the main window over 1,000 simulated servers on 127.0.0.1 that
// all answer, with the wait's slice (UDPDelay) at 5 and 0 ms, and the cost of handling
// one info reply in the window's datagram handler.
//
// The floor of a check-all row is one wait slice: the reply is handled inside the first
// pass at the earliest. At UDPDelay 0 what remains is the round trip through the
// simulated server, the listener's hand-over to the main thread and the decoding.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>

#include "core/query/QueryEngine.h"
#include "core/settings/SettingsValuesReader.h"
#include "fake/FakeReplies.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/platform/ErrorReporter.h"
#include "net/TIdSocketHandle.h"
#include "net/TIdUDPServer.h"

namespace {

using namespace vantrix;

constexpr int kServers = 1000;

class CountingErrorReporter final : public ErrorReporter {
 public:
  void Report(const std::string& text) override {
    ++m_count;
    std::fprintf(stderr, "error report: %s\n", text.c_str());
  }
  int Count() const { return m_count; }

 private:
  int m_count = 0;
};

// The simulated servers as a child process, on a stretch of ports below the ephemeral range.
class FakeServers {
 public:
  ~FakeServers() {
    if (m_process.state() != QProcess::NotRunning) {
      m_process.terminate();
      if (!m_process.waitForFinished(5000)) m_process.kill();
      m_process.waitForFinished(5000);
    }
  }

  bool Start(int count) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/vantrix-fakeserver");
    for (int attempt = 0; attempt < 8; ++attempt) {
      m_basePort = 20000 + QRandomGenerator::global()->bounded(12000 - count);
      m_process.start(program, {QStringLiteral("--count"), QString::number(count),
                                QStringLiteral("--base-port"), QString::number(m_basePort)});
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

struct Window {
  Application app;
  SettingsValuesReader settings;
  CountingErrorReporter* errors = nullptr;

  Window() {
    auto reporter = std::make_unique<CountingErrorReporter>();
    errors = reporter.get();
    app.SetErrorReporter(std::move(reporter));
    app.SetProgramEnd([] {});
    app.Form1().SetSettingsReader(&settings);
  }
  TForm1& Form() { return app.Form1(); }
};

void CheckAll(benchmark::State& state, Window& window, int basePort, const char* udpDelay) {
  TForm1& form = window.Form();
  ServerTable& table = form.Table();
  table.Clear();
  for (int i = 0; i < kServers; ++i) table.AppendRow("127.0.0.1:" + std::to_string(basePort + i));
  window.settings.Values().udpDelay = udpDelay;
  window.settings.Values().progress = true;

  std::int64_t rows = 0;
  long long pingSum = 0;
  std::chrono::steady_clock::duration spent{};
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    form.CheckallF121Click();
    spent += std::chrono::steady_clock::now() - start;
    state.PauseTiming();
    for (int i = 0; i < kServers; ++i) {
      if (table.Cell(i, kWCell) != "+") {
        state.SkipWithError(("row " + std::to_string(i) + " was not answered").c_str());
        return;
      }
      pingSum += std::stoll(table.Cell(i, kPingCell));
      table.SetCell(i, kWCell, kBlank);
    }
    rows += kServers;
    state.ResumeTiming();
  }
  state.SetItemsProcessed(rows);
  const double milliseconds = std::chrono::duration<double, std::milli>(spent).count();
  state.counters["ms_per_row"] = rows ? milliseconds / static_cast<double>(rows) : 0.0;
  state.counters["mean_ping_ms"] = rows ? static_cast<double>(pingSum) / static_cast<double>(rows) : 0.0;
}

// One info reply through the window's handler: count, row lookup by sender, ping and the
// decoded cells, at 1,000 and 50,000 rows.
void ReplyHandling(benchmark::State& state, Window& window) {
  const int rows = static_cast<int>(state.range(0));
  TForm1& form = window.Form();
  ServerTable& table = form.Table();
  table.Clear();
  table.BeginUpdate();
  for (int i = 0; i < rows; ++i)
    table.AppendRow("10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250) + ":27015");
  table.EndUpdate();
  const int target = rows / 2;
  const std::string host = "10.0." + std::to_string(target / 250) + "." + std::to_string(target % 250);

  fake::InfoFields fields;
  fields.address = host + ":27015";
  fields.name = "Benchmark Server";
  fields.map = "de_dust2";
  fields.players = 12;
  fields.maxPlayers = 20;
  const std::string reply = fake::BuildInfoReply(fields);
  TIdSocketHandle binding;
  binding.SetSender(host, 27015);
  std::uint32_t tick = 0;
  for (auto _ : state) {
    form.IdUDPServer1UDPRead(form.IdUDPServer1(), reply, binding, ++tick);
  }
  if (table.Cell(target, kNameCell) != fields.name) state.SkipWithError("the reply went to another row");
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qtApp(argc, argv);
  benchmark::Initialize(&argc, argv);

  FakeServers servers;
  if (!servers.Start(kServers)) {
    std::fprintf(stderr, "gui_checkall_bench: the simulated servers did not start\n");
    return 1;
  }
  Window window;
  const int basePort = servers.BasePort();

  benchmark::RegisterBenchmark("CheckAll1000/UDPDelay:5",
                               [&](benchmark::State& state) { CheckAll(state, window, basePort, "5"); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(2);
  benchmark::RegisterBenchmark("CheckAll1000/UDPDelay:0",
                               [&](benchmark::State& state) { CheckAll(state, window, basePort, "0"); })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(5);
  benchmark::RegisterBenchmark("ReplyHandling",
                               [&](benchmark::State& state) { ReplyHandling(state, window); })
      ->Arg(1000)
      ->Arg(50000)
      ->Unit(benchmark::kMicrosecond);

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return window.errors->Count() == 0 ? 0 : 1;
}

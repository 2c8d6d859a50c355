// "Check all servers" in the main window over 1,000 simulated servers on 127.0.0.1 that
// all answer, with the wait's slice (UDPDelay) at 5 and 0 ms, and the cost of handling
// one info reply in the window's datagram handler.
//
// The floor of a check-all row is one wait slice: the reply is handled inside the first
// pass at the earliest. At UDPDelay 0 what remains is the round trip through the
// simulated server, the listener's hand-over to the main thread and the decoding.

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>

#include "core/query/QueryEngine.h"
#include "core/settings/SettingsValuesReader.h"
#include "fake/FakeReplies.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/platform/ErrorReporter.h"
#include "net/TIdSocketHandle.h"
#include "net/TIdUDPServer.h"
#include "support/FakeServerLauncher.h"
#include "support/WindowBench.h"

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
      pingSum += std::stoll(std::string(table.Cell(i, kPingCell)));
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

class CheckAllHooks final : public bench::WindowBenchHooks {
 public:
  int Run(const std::function<void()>& run) override {
    // The simulated servers on a stretch of ports below the ephemeral range.
    test::FakeServerLauncher servers;
    test::FakeServerLauncher::Plan plan;
    plan.count = kServers;
    plan.lowestPort = 20000;
    plan.highestPort = 32000;
    plan.readyWithin = std::chrono::seconds(30);
    if (!servers.Start(plan)) {
      std::fprintf(stderr, "gui_checkall_bench: the simulated servers did not start: %s\n",
                   servers.Error().c_str());
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

    run();
    return window.errors->Count() == 0 ? 0 : 1;
  }
};

}  // namespace

vantrix::bench::WindowBenchHooks& vantrix::bench::Hooks() {
  static CheckAllHooks hooks;
  return hooks;
}

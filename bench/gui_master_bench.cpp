// An import from the master server of 100,000 addresses: the pages decoded and paged by
// the session, then the rows appended to the main window's list and drawn once. The pages
// are built before timing; the network and the pacing between pages are not timed.

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QTreeView>

#include "core/master/MasterPage.h"
#include "core/master/MasterRequest.h"
#include "core/master/MasterRows.h"
#include "core/master/MasterSession.h"
#include "core/settings/ConfigFile.h"
#include "fake/FakeMaster.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "gui/model/ServerTableModel.h"
#include "support/BenchLists.h"
#include "support/WindowBench.h"

namespace vantrix {
namespace {

constexpr std::size_t kAddresses = 100000;

// The master's pages for 100,000 servers, in the order a session asks for them.
std::vector<std::string> Pages() {
  std::vector<MasterAddress> list;
  list.reserve(kAddresses);
  for (std::size_t i = 0; i < kAddresses; ++i)
    list.push_back(
        {0x0A000000u + static_cast<std::uint32_t>(i / 50), static_cast<std::uint16_t>(27015 + i % 50)});
  fake::FakeMaster master(list);
  std::vector<std::string> pages;
  MasterSession session(kRegionEverywhere, "", kAddresses + 1);
  std::uint32_t now = 0;
  while (!session.Finished()) {
    const auto request = session.Poll(now);
    if (!request) {
      now += session.WaitMs(now).value_or(1);
      continue;
    }
    pages.push_back(*master.Answer(*request));
    session.OnDatagram(pages.back(), now);
  }
  return pages;
}

// Pages through a session as the window's import does, without the waits.
MasterSession Decode(const std::vector<std::string>& pages) {
  MasterPacing unpaced;
  unpaced.burstRequests = 1 << 30;
  MasterSession session(kRegionEverywhere, "", kAddresses + 1, unpaced);
  std::uint32_t now = 0;
  for (const std::string& page : pages) {
    if (!session.Poll(now)) break;
    session.OnDatagram(page, ++now);
  }
  return session;
}

void BM_MasterDecodePages(benchmark::State& state) {
  const std::vector<std::string> pages = Pages();
  std::size_t count = 0;
  for (auto _ : state) {
    MasterSession session = Decode(pages);
    count = session.Addresses().size();
    benchmark::DoNotOptimize(count);
  }
  if (count != kAddresses) state.SkipWithError("not every address came");
  state.counters["pages"] = static_cast<double>(pages.size());
}
BENCHMARK(BM_MasterDecodePages)->Unit(benchmark::kMillisecond);

// The rows alone, into a table without a window.
void BM_MasterAppendRows(benchmark::State& state) {
  const MasterSession session = Decode(Pages());
  for (auto _ : state) {
    ServerTable table;
    AppendMasterRows(table, session.Addresses());
    benchmark::DoNotOptimize(table.Count());
  }
}
BENCHMARK(BM_MasterAppendRows)->Unit(benchmark::kMillisecond);

void BM_WindowMasterImport(benchmark::State& state) {
  const std::vector<std::string> pages = Pages();
  bench::Folder folder;
  Application app;
  app.Form5().SetConfigFile(ConfigFile(folder.File("config.ini")));
  app.SetProgramEnd([] {});
  TForm1& form = app.Form1();
  form.show();
  QApplication::processEvents();
  int resets = 0;
  QObject::connect(&form.Model(), &QAbstractItemModel::modelReset, [&resets] { ++resets; });
  for (auto _ : state) {
    state.PauseTiming();
    form.MenuAction(QStringLiteral("NewF11"))->trigger();
    QApplication::processEvents();
    const int before = resets;
    state.ResumeTiming();
    const MasterSession session = Decode(pages);
    AppendMasterRows(form.Table(), session.Addresses());
    QApplication::processEvents();
    form.ListView1()->viewport()->repaint();
    state.PauseTiming();
    if (resets - before != 1) state.SkipWithError("the list was not drawn exactly once");
    state.ResumeTiming();
  }
  if (form.Table().Count() != static_cast<int>(kAddresses)) state.SkipWithError("rows missing");
  state.counters["rows"] = form.Table().Count();
}
BENCHMARK(BM_WindowMasterImport)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrix

vantrix::bench::WindowBenchHooks& vantrix::bench::Hooks() {
  static WindowBenchHooks plain;
  return plain;
}

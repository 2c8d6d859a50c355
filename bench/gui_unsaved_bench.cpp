// The end of the program with a changed list of 1,000,000 rows: from "Exit" to the end, the
// list written whole to the state folder (the target is 2 s).
#include <chrono>
#include <filesystem>

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>

#include "core/settings/ConfigFile.h"
#include "core/table/ListChangeTracker.h"
#include "core/table/TableUpdateBracket.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "support/BenchLists.h"
#include "support/WindowBench.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;
using bench::FillTable;
using bench::Folder;

constexpr int kRows = 1000000;

void BM_ExitKeepsAMillionRows(benchmark::State& state) {
  Folder folder;
  const fs::path kept = fs::path(folder.File("state"));
  Application app;
  app.Form5().SetConfigFile(ConfigFile(folder.File("config.ini")));
  bool ended = false;
  app.SetProgramEnd([&ended] { ended = true; });
  TForm1& form = app.Form1();
  form.KeepUnsavedListsIn(kept);
  form.show();
  QApplication::processEvents();
  {
    TableUpdateBracket bracket(form.Table());
    FillTable(form.Table(), kRows);
  }
  QApplication::processEvents();
  QAction* exit = form.MenuAction(QStringLiteral("Exit1"));
  for (auto _ : state) {
    form.Changes().MarkChanged();
    ended = false;
    exit->trigger();
    if (!ended) state.SkipWithError("the program did not end");
  }
  std::uintmax_t bytes = 0;
  int lists = 0;
  for (const auto& entry : fs::directory_iterator(kept))
    if (entry.path().extension() == ".vnx") {
      bytes = entry.file_size();
      ++lists;
    }
  if (lists == 0) state.SkipWithError("no list kept");
  state.counters["rows"] = kRows;
  state.counters["bytes"] = static_cast<double>(bytes);
}
// A handful of ends: each writes a new file (the same second gets "-2", "-3", ...).
BENCHMARK(BM_ExitKeepsAMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace vantrix

vantrix::bench::WindowBenchHooks& vantrix::bench::Hooks() {
  static vantrix::bench::WindowBenchHooks hooks;
  return hooks;
}

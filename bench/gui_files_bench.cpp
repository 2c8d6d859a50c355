// Open, Import and Save of 50,000-row lists through the main window's menu, each including
// the list view's redraw that follows.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QTreeView>

#include "core/lists/FileDialogs.h"
#include "core/lists/ListFile.h"
#include "core/settings/ConfigFile.h"
#include "gui/Application.h"
#include "gui/Unit1.h"
#include "gui/Unit5.h"
#include "gui/platform/ErrorReporter.h"
#include "support/BenchLists.h"
#include "support/WindowBench.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;
using bench::FillTable;
using bench::Folder;
using bench::PlainList;
using bench::WriteFile;

constexpr int kRows = 50000;

// Every dialog confirms the same file and filter.
class FixedChooser final : public FileChooser {
 public:
  FixedChooser(std::string path, int filter) : m_choice{std::move(path), filter} {}
  std::optional<FileChoice> Choose(const FileDialogInfo&, int) override { return m_choice; }

 private:
  FileChoice m_choice;
};

class CountingErrors final : public ErrorReporter {
 public:
  explicit CountingErrors(int& count) : m_count(count) {}
  void Report(const std::string&) override { ++m_count; }

 private:
  int& m_count;
};

// The main window, shown, with the chooser answering every dialog.
struct Window {
  int errors = 0;
  Application app;
  Window(const Folder& folder, const std::string& path, int filter) {
    app.Form5().SetConfigFile(ConfigFile(folder.File("config.ini")));
    app.SetFileChooser(std::make_unique<FixedChooser>(path, filter));
    app.SetErrorReporter(std::make_unique<CountingErrors>(errors));
    app.SetProgramEnd([] {});
    app.Form1().show();
    QApplication::processEvents();
  }
  TForm1& Form() { return app.Form1(); }
  void Run(const char* command) { Form().MenuAction(QString::fromLatin1(command))->trigger(); }
  // The redraw that follows a command, done at once.
  void Redraw() {
    QApplication::processEvents();
    Form().ListView1()->viewport()->repaint();
  }
};

void BM_WindowOpenRecordFile(benchmark::State& state) {
  Folder folder;
  const std::string path = folder.File("big.vnx");
  {
    ServerTable source;
    FillTable(source, kRows);
    WriteFile(path, FormatRecordLayout(source));
  }
  Window window(folder, path, 1);
  for (auto _ : state) {
    window.Run("Openfromfile1");
    window.Redraw();
  }
  if (window.Form().Table().Count() != kRows || window.errors != 0) state.SkipWithError("open failed");
  state.counters["lines"] = kRows * kRecordLines;
}
BENCHMARK(BM_WindowOpenRecordFile)->Unit(benchmark::kMillisecond);

void BM_WindowImportPlainFile(benchmark::State& state) {
  Folder folder;
  const std::string path = folder.File("big.txt");
  { WriteFile(path, PlainList(kRows)); }
  Window window(folder, path, 2);
  for (auto _ : state) {
    state.PauseTiming();
    window.Run("NewF11");
    window.Redraw();
    state.ResumeTiming();
    window.Run("Importfromfile1");
    window.Redraw();
  }
  if (window.Form().Table().Count() != kRows || window.errors != 0) state.SkipWithError("import failed");
}
BENCHMARK(BM_WindowImportPlainFile)->Unit(benchmark::kMillisecond);

void BM_WindowSaveRecordFile(benchmark::State& state) {
  Folder folder;
  const std::string path = folder.File("saved.vnx");
  Window window(folder, path, 1);
  FillTable(window.Form().Table(), kRows);
  window.Redraw();
  for (auto _ : state) {
    window.Run("Saveto1");
    window.Redraw();
  }
  if (!fs::exists(path) || window.errors != 0) state.SkipWithError("save failed");
  state.counters["bytes"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK(BM_WindowSaveRecordFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrix

vantrix::bench::WindowBenchHooks& vantrix::bench::Hooks() {
  static WindowBenchHooks plain;
  return plain;
}

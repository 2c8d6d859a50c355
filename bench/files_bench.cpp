// Open, Save and Import of large lists: 50,000 rows, i.e. 500,000 lines in the record layout.
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include "core/lists/ListCommands.h"
#include "core/lists/ListFile.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"
#include "support/BenchLists.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;
using bench::FillTable;
using bench::Folder;
using bench::PlainList;
using bench::WriteFile;

constexpr int kRows = 50000;

void BM_OpenRecordLayout(benchmark::State& state) {
  Folder folder;
  const std::string path = folder.File("big.vnx");
  {
    ServerTable source;
    FillTable(source, kRows);
    WriteFile(path, FormatRecordLayout(source));
  }
  ServerTable table;
  StatusLine status;
  for (auto _ : state) {
    OpenList(table, status, path, 1, [] {});
    benchmark::DoNotOptimize(table.Count());
  }
  if (table.Count() != kRows) state.SkipWithError("wrong row count");
  state.counters["lines"] = kRows * kRecordLines;
}
BENCHMARK(BM_OpenRecordLayout)->Unit(benchmark::kMillisecond);

void BM_SaveRecordLayout(benchmark::State& state) {
  Folder folder;
  const std::string path = folder.File("big.vnx");
  ServerTable table;
  FillTable(table, kRows);
  StatusLine status;
  for (auto _ : state) {
    if (!SaveList(table, status, path, 1)) state.SkipWithError("save failed");
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK(BM_SaveRecordLayout)->Unit(benchmark::kMillisecond);

void BM_ImportPlainLayout(benchmark::State& state) {
  Folder folder;
  const std::string path = folder.File("big.txt");
  { WriteFile(path, PlainList(kRows)); }
  ServerTable table;
  StatusLine status;
  for (auto _ : state) {
    state.PauseTiming();
    table.Clear();
    state.ResumeTiming();
    ImportList(table, status, path, 2);
    benchmark::DoNotOptimize(table.Count());
  }
  if (table.Count() != kRows) state.SkipWithError("wrong row count");
}
BENCHMARK(BM_ImportPlainLayout)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrix

BENCHMARK_MAIN();

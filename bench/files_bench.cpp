// Open, Save and Import of large lists: 50,000 rows, i.e. 500,000 lines in the record layout.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/ListCommands.h"
#include "core/ListFile.h"
#include "core/SafeFileWriter.h"
#include "core/ServerTable.h"
#include "core/StatusLine.h"

namespace vantrix {
namespace {

namespace fs = std::filesystem;

constexpr int kRows = 50000;

// Rows as a run of queries leaves them: every cell filled, typical lengths.
void FillTable(ServerTable& table, int rows) {
  for (int i = 0; i < rows; ++i) {
    ServerRow row;
    row.address = "10." + std::to_string(i / 65536) + "." + std::to_string(i / 256 % 256) + "." +
                  std::to_string(i % 256) + ":27015";
    row.cells = {"Server number " + std::to_string(i) + " | public",
                 "de_dust2",
                 std::to_string(i % 300),
                 std::to_string(i % 32) + "/32",
                 i % 3 == 0 ? std::string("clan server eu") : std::string(" "),
                 "+",
                 "L",
                 "D",
                 i % 7 == 0 ? "P" : " "};
    table.AppendRow(std::move(row));
  }
}

class Folder {
 public:
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "vantrix-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a folder");
    m_path = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  std::string File(const std::string& name) const { return (m_path / name).string(); }

 private:
  fs::path m_path;
};

void WriteFile(const std::string& path, const std::string& bytes) {
  SafeFileWriter writer(path);
  if (!writer.Open()) throw std::runtime_error("cannot write " + path);
  writer.Write(bytes);
  writer.Commit();
}

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
  {
    std::string text;
    for (int i = 0; i < kRows; ++i) {
      text += "10." + std::to_string(i / 65536) + "." + std::to_string(i / 256 % 256) + "." +
              std::to_string(i % 256) + ":27015";
      if (i % 2 == 0) text += "|comment " + std::to_string(i);
      text += "\r\n";
    }
    WriteFile(path, text);
  }
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

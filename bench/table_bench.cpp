// Table commands on large tables. Each iteration starts from the same unsorted table;
// rebuilding it is not timed.

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/io/TextFile.h"
#include "core/lists/ListFile.h"
#include "core/table/ServerTable.h"
#include "core/table/TableCommands.h"
#include "support/BenchLists.h"

namespace vantrix {
namespace {

using bench::Address;

// Rows as queries leave them: names, maps, pings (some "-"), players, W flags.
std::vector<ServerRow> QueriedRows(int n, std::mt19937& random) {
  static const char* const kMaps[] = {"de_dust2", "cs_office", "Aztec", "de_nuke", "cp_well", "2fort"};
  std::uniform_int_distribution<int> ping(1, 400);
  std::uniform_int_distribution<int> players(0, 32);
  std::uniform_int_distribution<int> pick(0, 5);
  std::uniform_int_distribution<int> lost(0, 19);
  std::vector<ServerRow> rows;
  rows.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    ServerRow row = ServerRow::Blank(Address(i));
    const bool answered = lost(random) != 0;
    row.cells[kNameCell] = "Server " + std::to_string(random() % 100000);
    row.cells[kMapCell] = kMaps[pick(random)];
    row.cells[kPingCell] = answered ? std::to_string(ping(random)) : "-";
    row.cells[kPlayersCell] = std::to_string(players(random)) + "/32";
    row.cells[kWCell] = answered ? "+" : "-";
    rows.push_back(std::move(row));
  }
  std::shuffle(rows.begin(), rows.end(), random);
  return rows;
}

void Load(ServerTable& table, const std::vector<ServerRow>& rows) {
  table.Clear();
  for (const ServerRow& row : rows) table.AppendRow(row);
}

void BM_PingSort(benchmark::State& state) {
  std::mt19937 random(1);
  const auto rows = QueriedRows(static_cast<int>(state.range(0)), random);
  ServerTable table;
  for (auto _ : state) {
    state.PauseTiming();
    Load(table, rows);
    state.ResumeTiming();
    PingSort(table);
    benchmark::DoNotOptimize(table.Rows().data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PingSort)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// Half the rows repeat an address of the other half, in random order.
void BM_RemoveDuplicates(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::mt19937 random(2);
  auto rows = QueriedRows(n, random);
  std::uniform_int_distribution<int> original(0, n / 2 - 1);
  for (int i = n / 2; i < n; ++i)
    rows[static_cast<size_t>(i)].address = rows[static_cast<size_t>(original(random))].address;
  std::shuffle(rows.begin(), rows.end(), random);
  ServerTable table;
  int64_t left = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Load(table, rows);
    state.ResumeTiming();
    RemoveDuplicates(table);
    left = table.Count();
  }
  state.counters["rows_left"] = static_cast<double>(left);
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RemoveDuplicates)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_ColumnSort(benchmark::State& state) {
  std::mt19937 random(3);
  const auto rows = QueriedRows(static_cast<int>(state.range(0)), random);
  ServerTable table;
  for (auto _ : state) {
    state.PauseTiming();
    Load(table, rows);
    table.SetSortState(-1, 1);
    state.ResumeTiming();
    ColumnClick(table, kNameCell + 1);
    benchmark::DoNotOptimize(table.Rows().data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ColumnSort)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_Paste(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::string text;
  for (int i = 0; i < n; ++i) text += Address(i) + (i % 2 ? "|clan server\r\n" : "\n");
  ServerTable table;
  for (auto _ : state) {
    state.PauseTiming();
    table.Clear();
    state.ResumeTiming();
    benchmark::DoNotOptimize(PasteText(table, text));
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Paste)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// Resident memory in bytes, from the kernel's account of this process.
double ResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) * 1024.0;
  return 0;
}

// A million rows loaded from a record file and checked once, as the window holds them: the
// resident memory they add is the figure (one iteration; the time is the load and the check).
void BM_MillionRowsResident(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const double before = ResidentBytes();
    ServerTable table;
    {
      std::string text;
      for (int i = 0; i < n; ++i) {
        text += Address(i) + "\r\n";
        for (int cell = 0; cell < kCellCount; ++cell)
          text += cell == kCommentCell && i % 4 == 0 ? "clan\r\n" : " \r\n";
      }
      LineReader lines(text);
      ReadRecordRows(lines, table);
    }
    for (int row = 0; row < n; ++row) {
      const bool answered = row % 10 != 0;
      table.SetCell(row, kWCell, answered ? "+" : "-");
      if (!answered) continue;
      table.SetCell(row, kPingCell, std::to_string(row % 300));
      table.SetCell(row, kNameCell, "A public server number " + std::to_string(row));
      table.SetCell(row, kMapCell, row % 2 ? "de_dust2" : "cs_office");
      table.SetCell(row, kPlayersCell, std::to_string(row % 33) + "/32");
      table.SetCell(row, kDCell, "d");
      table.SetCell(row, kSCell, "l");
      table.SetCell(row, kPCell, "-");
    }
    benchmark::DoNotOptimize(table.FindRowByAddress(Address(n - 1)));
    state.counters["rss_MB"] = (ResidentBytes() - before) / 1e6;
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MillionRowsResident)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrix

BENCHMARK_MAIN();

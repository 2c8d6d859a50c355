// The filter bar at scale: one keystroke (the text grows by one character) brought up to
// date in the model the views read, and the cost of a check's cell writes with a filter on.
// The repaint is not timed.

#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/filter/RowFilter.h"
#include "core/filter/TableFilter.h"
#include "core/table/ServerTable.h"
#include "core/table/TableUpdateBracket.h"
#include "gui/model/ServerTableModel.h"
#include "support/BenchLists.h"

namespace vantrix {
namespace {

// Rows as a master import and a check leave them: tagged names, a few dozen maps, comments
// on some rows, pings, players, answer and password flags.
void FillRealisticRows(ServerTable& table, int n) {
  static const char* const kMaps[] = {"de_dust2",   "de_inferno", "de_nuke",    "de_mirage",   "de_train",
                                      "cs_office",  "cs_italy",   "aim_map",    "awp_india",   "fy_iceworld",
                                      "de_aztec",   "de_cbble",   "surf_ski_2", "zm_lila",     "jb_minecraft",
                                      "de_vertigo", "cp_well",    "2fort",      "ctf_turbine", "de_overpass"};
  static const char* const kTags[] = {"[EU]", "[US]", "[RU]", "[DE]", "[FR]", "[PL]", "[BR]", "[AU]", "", ""};
  static const char* const kWords[] = {"Public",     "Community",  "Zombie",   "Surf", "Jailbreak", "Retake",
                                       "Deathmatch", "Arena",      "Classic",  "Pro",  "Only",      "24/7",
                                       "Fun",        "Old School", "Headshot", "Bhop", "Clan",      "Gaming"};
  static const char* const kComments[] = {" ", " ", " ", " ", "home", "friends", "lan party", "fast"};
  std::mt19937 random(25);
  std::uniform_int_distribution<int> ping(5, 400);
  std::uniform_int_distribution<int> players(0, 32);
  const TableUpdateBracket bracket(table);
  for (int i = 0; i < n; ++i) {
    ServerRow row = ServerRow::Blank(bench::Address(i));
    const bool answered = random() % 10 != 0;
    row.cells[kNameCell] = std::string(kTags[random() % 10]) + " " + kWords[random() % 18] + " " +
                           kWords[random() % 18] + " #" + std::to_string(random() % 100) + " | " +
                           kWords[random() % 18];
    row.cells[kMapCell] = kMaps[random() % 20];
    row.cells[kCommentCell] = kComments[random() % 8];
    if (answered) {
      row.cells[kPingCell] = std::to_string(ping(random));
      row.cells[kPlayersCell] = std::to_string(players(random)) + "/32";
      row.cells[kWCell] = "+";
      row.cells[kPCell] = random() % 5 == 0 ? "+" : "-";
    } else {
      row.cells[kWCell] = "-";
    }
    table.AppendRow(std::move(row));
  }
}

RowFilter TextFilter(const std::string& text) {
  return RowFilter(FilterQuery{ParseFilterText(text, false), {}});
}

// Typing "de_dust2": each iteration times one character more, through all eight.
void BM_FilterKeystroke(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ServerTable table;
  FillRealisticRows(table, n);
  ServerTableModel model(table);
  const std::string word = "de_dust2";
  model.SetFilter(TextFilter("x"));  // the signatures are made once, when a filter first applies
  std::size_t typed = 0;
  for (auto _ : state) {
    if (typed == word.size()) {
      state.PauseTiming();
      model.SetFilter(RowFilter());
      typed = 0;
      state.ResumeTiming();
    }
    ++typed;
    model.SetFilter(TextFilter(word.substr(0, typed)));
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.counters["filter_bytes_per_row"] =
      static_cast<double>(model.Filter().MemoryBytes()) / static_cast<double>(n);
  model.SetFilter(TextFilter("d"));  // the widest result of the word: the most memory it holds
  state.counters["peak_bytes_per_row"] =
      static_cast<double>(model.Filter().MemoryBytes()) / static_cast<double>(n);
}
BENCHMARK(BM_FilterKeystroke)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The first character after a change that is no narrowing (a deleted character): a full
// pass over every row's signature and the rows it cannot decide.
void BM_FilterFullPass(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  ServerTable table;
  FillRealisticRows(table, n);
  ServerTableModel model(table);
  model.SetFilter(TextFilter("x"));
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    model.SetFilter(TextFilter(flip ? "dust" : "du"));
    benchmark::DoNotOptimize(model.rowCount());
  }
}
BENCHMARK(BM_FilterFullPass)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// What a check run costs the table and model side: every row of 10,000 gets the eight cells
// of an answer, without a filter (0) and with "Not full" and a text on (1).
void BM_FilterCheckCells(benchmark::State& state) {
  constexpr int kRows = 10000;
  ServerTable table;
  FillRealisticRows(table, kRows);
  ServerTableModel model(table);
  if (state.range(0) != 0) {
    FilterToggles toggles;
    toggles.notFull = true;
    model.SetFilter(RowFilter(FilterQuery{ParseFilterText("de_", false), toggles}));
  }
  int round = 0;
  for (auto _ : state) {
    ++round;
    for (int i = 0; i < kRows; ++i) {
      table.SetCell(i, kPingCell, std::to_string(20 + (i + round) % 80));
      table.SetCell(i, kWCell, "+");
      table.SetCell(i, kNameCell, table.Cell(i, kNameCell));
      table.SetCell(i, kMapCell, table.Cell(i, kMapCell));
      table.SetCell(i, kPlayersCell, std::to_string((i + round) % 33) + "/32");
      table.SetCell(i, kDCell, "D");
      table.SetCell(i, kSCell, "L");
      table.SetCell(i, kPCell, "-");
    }
    benchmark::DoNotOptimize(model.rowCount());
  }
}
BENCHMARK(BM_FilterCheckCells)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrix

BENCHMARK_MAIN();

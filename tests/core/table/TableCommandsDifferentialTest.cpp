// The fast table commands against their literal forms on many random small tables.

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/table/TableCommands.h"
#include "core/table/TableReference.h"

namespace vantrix {
namespace {

constexpr int kTables = 2000;

const std::vector<std::string> kAddresses{"a", "b", "c", "A", "a ", ""};
const std::vector<std::string> kPings{"",           " ",           "-",  "abc", "99999999999", "+7", " 7",
                                      "-5",         "0",           "1",  "5",   "7",           "12", "30",
                                      "2147483647", "-2147483648", "07", "100", "40",          "5",  "5"};
const std::vector<std::string> kWords{" ",     "",     "de_dust",   "DE_DUST", "aztec",
                                      "10/20", "9/20", "\xe9t\xe9", "_x"};

template <typename T>
const T& Pick(std::mt19937& random, const std::vector<T>& values) {
  return values[std::uniform_int_distribution<size_t>(0, values.size() - 1)(random)];
}

// A random table; `distinct` limits how many different addresses it uses.
void FillRandom(ServerTable& table, std::mt19937& random, int rows, size_t distinct) {
  const std::vector<std::string> addresses(
      kAddresses.begin(), kAddresses.begin() + static_cast<long>(std::min(distinct, kAddresses.size())));
  for (int i = 0; i < rows; ++i) {
    ServerRow row = ServerRow::Blank(Pick(random, addresses));
    for (int cell = 0; cell < kCellCount; ++cell) row.cells[static_cast<size_t>(cell)] = Pick(random, kWords);
    row.cells[kPingCell] = Pick(random, kPings);
    row.cells[kCommentCell] = std::to_string(i);
    table.AppendRow(std::move(row));
  }
  const int selected = std::uniform_int_distribution<int>(-1, rows - 1)(random);
  table.SetSelectedIndex(selected);
}

std::string Describe(const std::vector<ServerRow>& rows) {
  std::ostringstream out;
  for (const ServerRow& row : rows) out << '[' << row.address << '|' << row.cells[kPingCell] << "] ";
  return out.str();
}

// Same rows in the same order: identities, addresses and all nine cells; and the
// selection on the same row.
void ExpectSameRows(const ServerTable& table, const std::vector<ServerRow>& expected, RowId selected) {
  ASSERT_EQ(table.Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < table.Count(); ++i) {
    const ServerRow& row = table.Row(i);
    const ServerRow& want = expected[static_cast<size_t>(i)];
    EXPECT_EQ(row.id, want.id) << "position " << i;
    EXPECT_EQ(row.address, want.address) << "position " << i;
    EXPECT_EQ(row.cells, want.cells) << "position " << i;
  }
  int expectedSelection = -1;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (selected != kNoRow && expected[i].id == selected) expectedSelection = static_cast<int>(i);
  }
  EXPECT_EQ(table.SelectedIndex(), expectedSelection);
}

RowId SelectedId(const ServerTable& table) {
  const int selected = table.SelectedIndex();
  return selected < 0 ? kNoRow : table.IdOf(selected);
}

TEST(TableCommandsDifferential, PingSortMatchesTheExchangeSort) {
  std::mt19937 random(20240611);
  for (int t = 0; t < kTables; ++t) {
    ServerTable table;
    FillRandom(table, random, std::uniform_int_distribution<int>(0, 14)(random), kAddresses.size());
    std::vector<ServerRow> expected = table.Rows();
    const RowId selected = SelectedId(table);
    SCOPED_TRACE(Describe(expected));
    reference::PingExchangeSort(expected);
    PingSort(table);
    ExpectSameRows(table, expected, selected);
    if (HasFailure()) return;
  }
}

TEST(TableCommandsDifferential, PingSortMatchesTheExchangeSortOnLongStretchesWithTies) {
  // Mostly numbers from a small range, so stretches are long and full of equal pings.
  std::mt19937 random(31337);
  for (int t = 0; t < 60; ++t) {
    ServerTable table;
    const int rows = std::uniform_int_distribution<int>(20, 300)(random);
    for (int i = 0; i < rows; ++i) {
      ServerRow row = ServerRow::Blank("r" + std::to_string(i));
      const int kind = std::uniform_int_distribution<int>(0, 40)(random);
      row.cells[kPingCell] = kind == 0 ? Pick(random, kPings) : std::to_string(kind % 6 - 2);
      table.AppendRow(std::move(row));
    }
    std::vector<ServerRow> expected = table.Rows();
    reference::PingExchangeSort(expected);
    PingSort(table);
    ExpectSameRows(table, expected, kNoRow);
    if (HasFailure()) return;
  }
}

TEST(TableCommandsDifferential, RemoveDuplicatesMatchesTheSweep) {
  std::mt19937 random(777);
  for (int t = 0; t < kTables; ++t) {
    ServerTable table;
    const size_t distinct = std::uniform_int_distribution<size_t>(1, 4)(random);
    FillRandom(table, random, std::uniform_int_distribution<int>(0, 16)(random), distinct);
    std::vector<ServerRow> expected = table.Rows();
    const RowId selected = SelectedId(table);
    SCOPED_TRACE(Describe(expected));
    reference::DuplicateSweep(expected);
    RemoveDuplicates(table);
    ExpectSameRows(table, expected, selected);
    EXPECT_FALSE(table.InUpdate());
    if (HasFailure()) return;
  }
}

TEST(TableCommandsDifferential, RemoveDuplicatesMatchesTheSweepOnLongerTables) {
  std::mt19937 random(4242);
  for (int t = 0; t < 60; ++t) {
    ServerTable table;
    const size_t distinct = std::uniform_int_distribution<size_t>(1, kAddresses.size())(random);
    FillRandom(table, random, std::uniform_int_distribution<int>(20, 300)(random), distinct);
    std::vector<ServerRow> expected = table.Rows();
    const RowId selected = SelectedId(table);
    reference::DuplicateSweep(expected);
    RemoveDuplicates(table);
    ExpectSameRows(table, expected, selected);
    if (HasFailure()) return;
  }
}

TEST(TableCommandsDifferential, RemoveDuplicatesMatchesTheSweepOnRunsOfOneAddress) {
  for (int rows = 0; rows <= 40; ++rows) {
    ServerTable table;
    for (int i = 0; i < rows; ++i) table.AppendRow("same");
    std::vector<ServerRow> expected = table.Rows();
    reference::DuplicateSweep(expected);
    RemoveDuplicates(table);
    ExpectSameRows(table, expected, kNoRow);
    if (HasFailure()) return;
  }
}

TEST(TableCommandsDifferential, ColumnClicksMatchAStableInsertionSort) {
  std::mt19937 random(99);
  for (int t = 0; t < kTables; ++t) {
    ServerTable table;
    FillRandom(table, random, std::uniform_int_distribution<int>(0, 12)(random), kAddresses.size());
    std::vector<ServerRow> expected = table.Rows();
    const RowId selected = SelectedId(table);
    SCOPED_TRACE(Describe(expected));
    for (int click = 0; click < 3; ++click) {
      int column = std::uniform_int_distribution<int>(0, kCellCount - 1)(random);
      if (column >= kPingCell + 1) ++column;  // any header but "Ping"
      ColumnClick(table, column);
      reference::StableColumnSort(expected, table.SortColumn(), table.SortDirection());
    }
    ExpectSameRows(table, expected, selected);
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace vantrix

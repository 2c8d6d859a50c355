#include "core/table/TableCommands.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/table/TableReference.h"

namespace vantrix {
namespace {

using Texts = std::vector<std::string>;

struct CountingObserver : TableObserver {
  int inserted = 0;
  int removed = 0;
  int cells = 0;
  int resets = 0;
  int selections = 0;
  void RowsInserted(int, int) override { ++inserted; }
  void RowsRemoved(int, int) override { ++removed; }
  void CellChanged(int, int) override { ++cells; }
  void Reset() override { ++resets; }
  void SelectionChanged() override { ++selections; }
};

// Appends one row per address; `cell` of each row gets the matching value.
void Fill(ServerTable& table, const Texts& addresses, int cell = -1, const Texts& values = {}) {
  for (size_t i = 0; i < addresses.size(); ++i) {
    ServerRow row = ServerRow::Blank(addresses[i]);
    if (cell >= 0) row.cells[static_cast<size_t>(cell)] = values.at(i);
    table.AppendRow(std::move(row));
  }
}

Texts Addresses(const ServerTable& table) {
  Texts result;
  for (const ServerRow& row : table.Rows()) result.push_back(row.address.Str());
  return result;
}

Texts Column(const ServerTable& table, int cell) {
  Texts result;
  for (const ServerRow& row : table.Rows()) result.push_back(row.cells[static_cast<size_t>(cell)].Str());
  return result;
}

// Address followed by the comment, so rows that share an address stay tellable apart.
Texts Labels(const ServerTable& table) {
  Texts result;
  for (const ServerRow& row : table.Rows())
    result.push_back(row.address.Str() + row.cells[kCommentCell].Str());
  return result;
}

// Rows "A1", "B2", ...: the letter is the address, the digit the row's original number.
void FillLabelled(ServerTable& table, const std::string& letters) {
  for (size_t i = 0; i < letters.size(); ++i) {
    ServerRow row = ServerRow::Blank(std::string(1, letters[i]));
    row.cells[kCommentCell] = std::to_string(i + 1);
    table.AppendRow(std::move(row));
  }
}

// ---------------------------------------------------------------------------------------
// Text comparison

TEST(CompareText, FoldsOnlyAsciiLettersAndComparesUnsignedBytes) {
  EXPECT_EQ(CompareText("a.b:1", "A.B:1"), 0);
  EXPECT_EQ(CompareText("", ""), 0);
  EXPECT_LT(CompareText(" ", "0"), 0);
  EXPECT_LT(CompareText(" ", "a"), 0);
  EXPECT_LT(CompareText(" ", "A"), 0);
  EXPECT_LT(CompareText("10/20", "9/20"), 0);
  EXPECT_GT(CompareText("9/20", "10/20"), 0);
  // "_" lies between the upper- and lower-case letters: folding puts it after "a".
  EXPECT_GT(CompareText("_", "a"), 0);
  EXPECT_LT(CompareText("Z", "_"), 0);
  // Bytes at or above 0x80 are large, and are not case-folded.
  EXPECT_GT(CompareText("\x80", "z"), 0);
  EXPECT_GT(CompareText("\xff", "\x7f"), 0);
  EXPECT_LT(CompareText("\x7f", "\x80"), 0);
  EXPECT_NE(CompareText("\xe9", "\xc9"), 0);
}

TEST(CompareText, ShorterPrefixIsSmallerAndFirstDifferenceDecides) {
  EXPECT_LT(CompareText("abc", "abcd"), 0);
  EXPECT_GT(CompareText("ABCD", "abc"), 0);
  EXPECT_LT(CompareText("", " "), 0);
  EXPECT_LT(CompareText("abz", "ABZA"), 0);
  EXPECT_GT(CompareText("b", "Azzzz"), 0);
  EXPECT_LT(CompareText(std::string("a\0b", 3), std::string("a\0c", 3)), 0);
  EXPECT_EQ(CompareText(std::string("x\0", 2), std::string("X\0", 2)), 0);
}

TEST(CompareRows, PicksTheKeyBySortColumnAndAppliesTheDirection) {
  ServerRow r1 = ServerRow::Blank("b:1");
  ServerRow r2 = ServerRow::Blank("a:1");
  r1.cells[kMapCell] = "aztec";
  r2.cells[kMapCell] = "Dust";
  r1.cells[kPCell] = "+";
  r2.cells[kPCell] = "+";
  EXPECT_GT(reference::CompareRows(r1, r2, 0, 1), 0);
  EXPECT_LT(reference::CompareRows(r1, r2, 0, -1), 0);
  EXPECT_LT(reference::CompareRows(r1, r2, kMapCell + 1, 1), 0);
  EXPECT_GT(reference::CompareRows(r1, r2, kMapCell + 1, -1), 0);
  EXPECT_EQ(reference::CompareRows(r1, r2, kPCell + 1, -1), 0);
  EXPECT_THROW(reference::CompareRows(r1, r2, 10, 1), std::out_of_range);
  EXPECT_THROW(reference::CompareRows(r1, r2, -1, 1), std::out_of_range);
}

// ---------------------------------------------------------------------------------------
// Column sort

TEST(ColumnSort, SameHeaderTwiceReversesTheOrder) {
  ServerTable table;
  Fill(table, {"10.0.0.2:1", "10.0.0.3:1", "10.0.0.1:1"});
  ColumnClick(table, 0);
  EXPECT_EQ(Addresses(table), (Texts{"10.0.0.1:1", "10.0.0.2:1", "10.0.0.3:1"}));
  EXPECT_EQ(table.SortColumn(), 0);
  EXPECT_EQ(table.SortDirection(), 1);
  ColumnClick(table, 0);
  EXPECT_EQ(Addresses(table), (Texts{"10.0.0.3:1", "10.0.0.2:1", "10.0.0.1:1"}));
  EXPECT_EQ(table.SortDirection(), -1);
}

TEST(ColumnSort, MapThreeTimesGoesAscendingDescendingAscending) {
  ServerTable table;
  Fill(table, {"a", "b", "c", "d"}, kMapCell, {"de_nuke", "Aztec", "cs_office", "DE_DUST"});
  const int map = kMapCell + 1;
  ColumnClick(table, map);
  EXPECT_EQ(Column(table, kMapCell), (Texts{"Aztec", "cs_office", "DE_DUST", "de_nuke"}));
  ColumnClick(table, map);
  EXPECT_EQ(Column(table, kMapCell), (Texts{"de_nuke", "DE_DUST", "cs_office", "Aztec"}));
  EXPECT_EQ(table.SortDirection(), -1);
  ColumnClick(table, map);
  EXPECT_EQ(Column(table, kMapCell), (Texts{"Aztec", "cs_office", "DE_DUST", "de_nuke"}));
  EXPECT_EQ(table.SortColumn(), map);
  EXPECT_EQ(table.SortDirection(), 1);
}

TEST(ColumnSort, AnotherHeaderStartsAscendingAndComparesAsText) {
  ServerTable table;
  Fill(table, {"a", "b", "c", "d"}, kPlayersCell, {"9/20", "10/20", " ", "2/8"});
  ColumnClick(table, kMapCell + 1);
  ColumnClick(table, kMapCell + 1);  // Map descending
  ColumnClick(table, kPlayersCell + 1);
  EXPECT_EQ(table.SortColumn(), kPlayersCell + 1);
  EXPECT_EQ(table.SortDirection(), 1);
  EXPECT_EQ(Column(table, kPlayersCell), (Texts{" ", "10/20", "2/8", "9/20"}));
  // Whole rows move with their key.
  EXPECT_EQ(Addresses(table), (Texts{"c", "b", "d", "a"}));
}

TEST(ColumnSort, SelectionAndIdentitiesFollowTheirRows) {
  ServerTable table;
  Fill(table, {"c", "a", "b"});
  const RowId a = table.IdOf(1);
  table.SetSelectedIndex(0);  // "c"
  ColumnClick(table, 0);
  EXPECT_EQ(Addresses(table), (Texts{"a", "b", "c"}));
  EXPECT_EQ(table.SelectedIndex(), 2);
  EXPECT_EQ(table.PositionOf(a), 0);
  ColumnClick(table, 0);
  EXPECT_EQ(table.SelectedIndex(), 0);
  EXPECT_EQ(table.PositionOf(a), 2);
}

TEST(ColumnSort, EqualKeysUnderFoldingKeepTheirOrder) {
  ServerTable table;
  Fill(table, {"b", "a.b:1", "A.B:1", "a.b:1"}, kCommentCell, {"0", "1", "2", "3"});
  ColumnClick(table, 0);
  EXPECT_EQ(Labels(table), (Texts{"a.b:11", "A.B:12", "a.b:13", "b0"}));
  ColumnClick(table, 0);
  EXPECT_EQ(Labels(table), (Texts{"b0", "a.b:11", "A.B:12", "a.b:13"}));
}

TEST(ColumnSort, RejectsColumnsOutsideTheHeaderAndNeedsAClickFirst) {
  ServerTable table;
  Fill(table, {"b", "a"});
  SortByColumn(table);  // nothing clicked yet: the order stays
  EXPECT_EQ(Addresses(table), (Texts{"b", "a"}));
  EXPECT_THROW(ColumnClick(table, 10), std::out_of_range);
  EXPECT_THROW(ColumnClick(table, -1), std::out_of_range);
  EXPECT_EQ(table.SortColumn(), -1);
  EXPECT_EQ(table.SortDirection(), 1);
  EXPECT_EQ(Addresses(table), (Texts{"b", "a"}));
}

TEST(ColumnSort, AnAlreadySortedTableIsNotRedrawn) {
  ServerTable table;
  Fill(table, {"a", "b"});
  CountingObserver observer;
  table.SetObserver(&observer);
  ColumnClick(table, 0);
  EXPECT_EQ(observer.resets, 0);
  ColumnClick(table, 0);
  EXPECT_EQ(observer.resets, 1);
  EXPECT_EQ(Addresses(table), (Texts{"b", "a"}));
}

// ---------------------------------------------------------------------------------------
// Ping sort

TEST(ParsePing, AcceptsSignedDecimal32BitIntegersOnly) {
  EXPECT_EQ(ParsePing("57"), 57);
  EXPECT_EQ(ParsePing("0"), 0);
  EXPECT_EQ(ParsePing("007"), 7);
  EXPECT_EQ(ParsePing("-5"), -5);
  EXPECT_EQ(ParsePing("+7"), 7);
  EXPECT_EQ(ParsePing("-0"), 0);
  EXPECT_EQ(ParsePing("2147483647"), INT32_MAX);
  EXPECT_EQ(ParsePing("-2147483648"), INT32_MIN);
  for (const char* text : {"", " ", "-", "+", "abc", "99999999999", "2147483648", "-2147483649",
                           "00000000000000000000002147483648", " 7", "7 ", "\t7", "1a", "+-1", "--1", "$1A",
                           "0x10", "1,5", "1.5"}) {
    EXPECT_FALSE(ParsePing(text)) << '"' << text << '"';
  }
}

TEST(PingSort, SortsEachStretchBetweenNonNumbersAscending) {
  ServerTable table;
  const Texts pings{"30", " ", "12", "5", "-", "7", "1"};
  Fill(table, {"r0", "r1", "r2", "r3", "r4", "r5", "r6"}, kPingCell, pings);
  ColumnClick(table, kPingCell + 1);
  EXPECT_EQ(Column(table, kPingCell), (Texts{"30", " ", "5", "12", "-", "1", "7"}));
  EXPECT_EQ(Addresses(table), (Texts{"r0", "r1", "r3", "r2", "r4", "r6", "r5"}));
}

TEST(PingSort, ComparesNumbersNotTextAndKeepsEqualPingsInOrder) {
  ServerTable table;
  Fill(table, {"a", "b", "c", "d", "e"}, kPingCell, {"100", "40", "5", "40", "-5"});
  PingSort(table);
  EXPECT_EQ(Column(table, kPingCell), (Texts{"-5", "5", "40", "40", "100"}));
  EXPECT_EQ(Addresses(table), (Texts{"e", "c", "b", "d", "a"}));
}

TEST(PingSort, SignedAndPaddedCellsFollowTheParseRule) {
  ServerTable table;
  // "+7" is a number and moves; " 7" and "" are not and hold their place.
  Fill(table, {"a", "b", "c", "d", "e", "f"}, kPingCell, {"+7", "3", " 7", "9", "", "2"});
  PingSort(table);
  EXPECT_EQ(Column(table, kPingCell), (Texts{"3", "+7", " 7", "9", "", "2"}));
}

TEST(PingSort, OneRowOrNoRowsDoNothingAndTheSortStateStays) {
  ServerTable empty;
  PingSort(empty);
  EXPECT_EQ(empty.Count(), 0);

  ServerTable table;
  Fill(table, {"only"}, kPingCell, {"5"});
  CountingObserver observer;
  table.SetObserver(&observer);
  ColumnClick(table, kPingCell + 1);
  EXPECT_EQ(table.Count(), 1);
  EXPECT_EQ(observer.resets + observer.cells, 0);

  Fill(table, {"b", "c"}, kPingCell, {"9", "1"});
  ColumnClick(table, kMapCell + 1);
  ColumnClick(table, kMapCell + 1);
  ColumnClick(table, kPingCell + 1);
  EXPECT_EQ(table.SortColumn(), kMapCell + 1);
  EXPECT_EQ(table.SortDirection(), -1);
  EXPECT_EQ(Column(table, kPingCell), (Texts{"1", "5", "9"}));
}

TEST(PingSort, SelectionStaysWithItsRow) {
  ServerTable table;
  Fill(table, {"a", "b", "c"}, kPingCell, {"50", "20", "10"});
  table.SetSelectedIndex(0);
  PingSort(table);
  EXPECT_EQ(table.SelectedIndex(), 2);
  EXPECT_EQ(table.Address(2), "a");
}

// ---------------------------------------------------------------------------------------
// Clearing query results

TEST(ClearServerInfo, BlanksQueryResultsButKeepsAddressAndComment) {
  ServerTable table;
  ServerRow row = ServerRow::Empty("10.0.0.1:27015");
  for (int cell = 0; cell < kCellCount; ++cell)
    row.cells[static_cast<size_t>(cell)] = "v" + std::to_string(cell);
  row.cells[kWCell] = "+";
  table.AppendRow(row);
  table.AppendRow(row);
  ClearServerInfo(table, 1);
  EXPECT_EQ(table.Address(1), "10.0.0.1:27015");
  for (int cell = 0; cell < kCellCount; ++cell) {
    EXPECT_EQ(table.Cell(1, cell), cell == kCommentCell ? "v4" : " ") << cell;
    EXPECT_EQ(table.Cell(0, cell), row.cells[static_cast<size_t>(cell)]) << cell;
  }
  // W is now blank, so the row counts as bad.
  RemoveBadServers(table);
  ASSERT_EQ(table.Count(), 1);
  EXPECT_EQ(table.Cell(0, kWCell), "+");
}

TEST(ClearServerInfo, InvalidPositionChangesNothing) {
  ServerTable table;
  Fill(table, {"a"}, kNameCell, {"name"});
  CountingObserver observer;
  table.SetObserver(&observer);
  ClearServerInfo(table, -1);
  ClearServerInfo(table, 1);
  EXPECT_EQ(table.Cell(0, kNameCell), "name");
  EXPECT_EQ(observer.cells, 0);
}

TEST(ClearAllServersInfo, BlanksEveryRowInOneBracket) {
  ServerTable table;
  Fill(table, {"a", "b", "c"}, kPingCell, {"1", "2", "3"});
  table.SetCell(2, kCommentCell, "keep");
  table.SetCell(0, kCommentCell, "");
  CountingObserver observer;
  table.SetObserver(&observer);
  ClearAllServersInfo(table);
  EXPECT_EQ(Column(table, kPingCell), (Texts{" ", " ", " "}));
  EXPECT_EQ(Column(table, kCommentCell), (Texts{"", " ", "keep"}));
  EXPECT_EQ(observer.resets, 1);
  EXPECT_EQ(observer.cells, 0);
  EXPECT_FALSE(table.InUpdate());

  ServerTable empty;
  empty.SetObserver(&observer);
  ClearAllServersInfo(empty);
  EXPECT_EQ(observer.resets, 1);
}

// ---------------------------------------------------------------------------------------
// Remove duplicates

TEST(RemoveDuplicates, LeavesWhatTheSingleSweepLeaves) {
  const std::vector<std::pair<std::string, Texts>> cases{
      {"AA", {"A2"}},
      {"ABA", {"B2", "A3"}},
      {"AAA", {"A2"}},
      {"ABCA", {"B2", "C3", "A4"}},
      {"AAAAA", {"A3", "A5"}},
      {"ABABA", {"B2", "B4", "A5"}},
      {"ABC", {"A1", "B2", "C3"}},
      {"A", {"A1"}},
  };
  for (const auto& [letters, expected] : cases) {
    ServerTable table;
    FillLabelled(table, letters);
    RemoveDuplicates(table);
    EXPECT_EQ(Labels(table), expected) << letters;
    EXPECT_FALSE(table.InUpdate()) << letters;
  }
}

TEST(RemoveDuplicates, RunningAgainRemovesMore) {
  ServerTable table;
  FillLabelled(table, "AAAAA");
  RemoveDuplicates(table);
  RemoveDuplicates(table);
  EXPECT_EQ(Labels(table), (Texts{"A5"}));
}

TEST(RemoveDuplicates, ComparesAddressesExactlyAndKeepsTheSurvivorsCells) {
  ServerTable table;
  Fill(table, {"a.b:1", "A.B:1", "a.b:1 ", "a.b:1"}, kPingCell, {"10", "20", "30", "40"});
  table.SetCell(3, kCommentCell, "mine");
  RemoveDuplicates(table);
  EXPECT_EQ(Addresses(table), (Texts{"A.B:1", "a.b:1 ", "a.b:1"}));
  EXPECT_EQ(Column(table, kPingCell), (Texts{"20", "30", "40"}));
  EXPECT_EQ(table.Cell(2, kCommentCell), "mine");
}

TEST(RemoveDuplicates, OneResetAndTheSelectionFollowsOrClears) {
  ServerTable table;
  FillLabelled(table, "ABAB");  // leaves B2, A3
  table.SetSelectedIndex(2);
  CountingObserver observer;
  table.SetObserver(&observer);
  RemoveDuplicates(table);
  EXPECT_EQ(Labels(table), (Texts{"B2", "A3"}));
  EXPECT_EQ(table.SelectedIndex(), 1);
  EXPECT_EQ(observer.resets, 1);
  EXPECT_EQ(observer.removed, 0);

  ServerTable other;
  FillLabelled(other, "AA");
  other.SetSelectedIndex(0);
  RemoveDuplicates(other);
  EXPECT_EQ(other.SelectedIndex(), -1);

  ServerTable empty;
  empty.SetObserver(&observer);
  RemoveDuplicates(empty);
  EXPECT_FALSE(empty.InUpdate());
  EXPECT_EQ(observer.resets, 1);
}

// ---------------------------------------------------------------------------------------
// Remove bad servers

TEST(RemoveBadServers, RemovesExactlyDashAndBlankW) {
  ServerTable table;
  const Texts w{"-", " ", "", "+", "x", "--", "  ", "-", "+"};
  Texts addresses;
  for (size_t i = 0; i < w.size(); ++i) addresses.push_back("r" + std::to_string(i));
  Fill(table, addresses, kWCell, w);
  CountingObserver observer;
  table.SetObserver(&observer);
  RemoveBadServers(table);
  EXPECT_EQ(Addresses(table), (Texts{"r2", "r3", "r4", "r5", "r6", "r8"}));
  EXPECT_EQ(Column(table, kWCell), (Texts{"", "+", "x", "--", "  ", "+"}));
  EXPECT_EQ(observer.resets, 1);
  EXPECT_FALSE(table.InUpdate());
}

TEST(RemoveBadServers, ATableWithoutBadRowsStaysWhole) {
  ServerTable table;
  Fill(table, {"a:1", "b:2", "c:3"}, kWCell, {"+", "x", ""});
  table.SetCell(1, kNameCell, "kept name");
  const std::vector<ServerRow> before = table.Rows();
  table.SetSelectedIndex(2);
  RemoveBadServers(table);
  ASSERT_EQ(table.Count(), 3);
  for (int i = 0; i < table.Count(); ++i) {
    EXPECT_EQ(table.Row(i).address, before[static_cast<size_t>(i)].address);
    EXPECT_EQ(table.Row(i).cells, before[static_cast<size_t>(i)].cells);
  }
  EXPECT_EQ(table.SelectedIndex(), 2);
  EXPECT_FALSE(table.InUpdate());
}

TEST(RemoveBadServers, EmptyTableAndAllBadTable) {
  ServerTable table;
  RemoveBadServers(table);
  EXPECT_EQ(table.Count(), 0);
  Fill(table, {"a", "b"}, kWCell, {" ", "-"});
  table.SetSelectedIndex(1);
  RemoveBadServers(table);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.SelectedIndex(), -1);
}

// ---------------------------------------------------------------------------------------
// Paste

void ExpectCells(const ServerTable& table, int position, const Texts& cells) {
  ASSERT_TRUE(table.IsValid(position));
  for (int cell = 0; cell < kCellCount; ++cell)
    EXPECT_EQ(table.Cell(position, cell), cells.at(static_cast<size_t>(cell))) << position << "," << cell;
}

const Texts kBlankCells(kCellCount, " ");
const Texts kEmptyCells(kCellCount, "");

Texts WithComment(const std::string& comment) {
  Texts cells = kBlankCells;
  cells[kCommentCell] = comment;
  return cells;
}

TEST(PasteText, TextWithoutLineEndIsOneRowWithEmptyCells) {
  ServerTable table;
  EXPECT_EQ(PasteText(table, "1.2.3.4:27015"), 1);
  EXPECT_EQ(Addresses(table), (Texts{"1.2.3.4:27015"}));
  ExpectCells(table, 0, kEmptyCells);
  // No split at "|" and no trimming either.
  EXPECT_EQ(PasteText(table, " x|y\r"), 1);
  EXPECT_EQ(table.Address(1), " x|y\r");
  ExpectCells(table, 1, kEmptyCells);
  EXPECT_EQ(PasteText(table, ""), 1);
  EXPECT_EQ(table.Address(2), "");
}

TEST(PasteText, EachEndedLineIsARowAndTheRestIsDropped) {
  ServerTable table;
  EXPECT_EQ(PasteText(table, "1.2.3.4:27015|home\r\n"), 1);
  EXPECT_EQ(table.Address(0), "1.2.3.4:27015");
  ExpectCells(table, 0, WithComment("home"));

  ServerTable second;
  EXPECT_EQ(PasteText(second, "a\r\nb"), 1);
  EXPECT_EQ(Addresses(second), (Texts{"a"}));
  ExpectCells(second, 0, kBlankCells);
}

TEST(PasteText, LfAndCrLfBothEndLinesAndALoneCrStays) {
  ServerTable table;
  EXPECT_EQ(PasteText(table, "a\nb\r\nc\rd\ne\r\r\n\r\rf"), 4);
  EXPECT_EQ(Addresses(table), (Texts{"a", "b", "c\rd", "e\r"}));
  for (int i = 0; i < table.Count(); ++i) ExpectCells(table, i, kBlankCells);
}

TEST(PasteText, BarSplitsAtTheFirstOneAndNothingIsTrimmed) {
  ServerTable table;
  EXPECT_EQ(PasteText(table, "x|y|z\n|only comment\n host |\n\n\r\nlast|"), 5);
  EXPECT_EQ(Addresses(table), (Texts{"x", "", " host ", "", ""}));
  ExpectCells(table, 0, WithComment("y|z"));
  ExpectCells(table, 1, WithComment("only comment"));
  ExpectCells(table, 2, WithComment(""));
  ExpectCells(table, 3, kBlankCells);
  ExpectCells(table, 4, kBlankCells);
}

TEST(PasteText, AppendsAtTheEndInOneBracketAndKeepsTheSelection) {
  ServerTable table;
  Fill(table, {"old"});
  table.SetSelectedIndex(0);
  CountingObserver observer;
  table.SetObserver(&observer);
  EXPECT_EQ(PasteText(table, "n1\nn2\n"), 2);
  EXPECT_EQ(Addresses(table), (Texts{"old", "n1", "n2"}));
  EXPECT_EQ(table.SelectedIndex(), 0);
  EXPECT_EQ(observer.resets, 1);
  EXPECT_EQ(observer.inserted, 0);
  EXPECT_EQ(observer.selections, 0);
  EXPECT_FALSE(table.InUpdate());
  EXPECT_NE(table.IdOf(1), table.IdOf(2));
}

// ---------------------------------------------------------------------------------------
// Selection counter

TEST(SelectionCounterText, ShowsOneBasedPositionAndCount) {
  EXPECT_EQ(SelectionCounterText(2, 10), "3/10");
  EXPECT_EQ(SelectionCounterText(0, 1), "1/1");
  EXPECT_EQ(SelectionCounterText(49999, 50000), "50000/50000");
}

}  // namespace
}  // namespace vantrix

#include "core/table/ServerTable.h"

#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/table/StatusLine.h"
#include "core/time/TickClock.h"
#include "core/util/Version.h"

namespace vantrix {
namespace {

struct RecordingObserver : TableObserver {
  std::vector<std::string> events;
  void RowsInserted(int first, int last) override {
    events.push_back("insert " + std::to_string(first) + "-" + std::to_string(last));
  }
  void RowsRemoved(int first, int last) override {
    events.push_back("remove " + std::to_string(first) + "-" + std::to_string(last));
  }
  void CellChanged(int row, int column) override {
    events.push_back("cell " + std::to_string(row) + "," + std::to_string(column));
  }
  void Reset() override { events.push_back("reset"); }
  void SelectionChanged() override { events.push_back("selection"); }
};

TEST(ServerTable, RowsCarryAddressAndNineCells) {
  ServerTable table;
  table.AppendRow("10.0.0.1:27015");
  table.AppendRow(ServerRow::Empty("x"));
  ASSERT_EQ(table.Count(), 2);
  EXPECT_EQ(table.Cell(0, kCommentCell), " ");
  EXPECT_EQ(table.Cell(1, kCommentCell), "");
  EXPECT_THROW(table.Cell(0, 9), std::out_of_range);
  EXPECT_THROW(table.SetCell(0, -1, "x"), std::out_of_range);
  table.SetCell(0, kNameCell, "Alpha");
  table.SetAddress(1, "y:1");
  EXPECT_EQ(table.Cell(0, kNameCell), "Alpha");
  EXPECT_EQ(table.Address(1), "y:1");
}

TEST(ServerTable, FindByAddressTakesTheLastExactMatch) {
  ServerTable table;
  table.AppendRow("a.b:1");
  table.AppendRow("A.B:1");
  table.AppendRow("a.b:1");
  EXPECT_EQ(table.FindRowByAddress("a.b:1"), 2);
  EXPECT_EQ(table.FindRowByAddress("A.B:1"), 1);
  EXPECT_FALSE(table.FindRowByAddress("a.b"));
  table.DeleteRow(2);
  EXPECT_EQ(table.FindRowByAddress("a.b:1"), 0);
  table.SetAddress(1, "a.b:1");
  EXPECT_EQ(table.FindRowByAddress("a.b:1"), 1);
}

TEST(ServerTable, IdentityAndSelectionFollowTheRow) {
  ServerTable table;
  for (const char* a : {"a", "b", "c"}) table.AppendRow(a);
  const RowId c = table.IdOf(2);
  table.SetSelectedIndex(2);
  table.ReorderRows({2, 0, 1});
  EXPECT_EQ(table.PositionOf(c), 0);
  EXPECT_EQ(table.SelectedIndex(), 0);
  table.DeleteRow(1);  // "a"
  EXPECT_EQ(table.SelectedIndex(), 0);
  table.DeleteRow(0);  // the selected row: nothing is selected afterwards
  EXPECT_EQ(table.SelectedIndex(), -1);
  EXPECT_FALSE(table.PositionOf(c));
  EXPECT_THROW(table.ReorderRows({0, 0}), std::invalid_argument);
}

// The lookups agree with a plain scan while the table grows through several index sizes
// and rows are appended, deleted, moved and readdressed between lookups.
TEST(ServerTable, LookupsAgreeWithAScanThroughGrowthAndEdits) {
  ServerTable table;
  std::mt19937 random(7);
  std::vector<RowId> gone;
  const auto address = [&] { return "10.0.0." + std::to_string(random() % 40) + ":27015"; };
  for (int step = 0; step < 600; ++step) {
    const unsigned op = random() % 10;
    if (op < 6 || table.Count() < 2) {
      table.AppendRow(address());
    } else if (op == 6) {
      gone.push_back(table.IdOf(table.Count() / 2));
      table.DeleteRow(table.Count() / 2);
    } else if (op == 7) {
      std::vector<int> order(static_cast<size_t>(table.Count()));
      std::iota(order.rbegin(), order.rend(), 0);
      table.ReorderRows(order);
    } else {
      table.SetAddress(static_cast<int>(random() % static_cast<unsigned>(table.Count())), address());
    }
    const std::string wanted = address();
    std::optional<int> last;
    for (int row = 0; row < table.Count(); ++row)
      if (table.Address(row) == wanted) last = row;
    ASSERT_EQ(table.FindRowByAddress(wanted), last) << "step " << step;
    const int probe = static_cast<int>(random() % static_cast<unsigned>(table.Count()));
    ASSERT_EQ(table.PositionOf(table.IdOf(probe)), probe) << "step " << step;
    if (!gone.empty()) {
      ASSERT_FALSE(table.PositionOf(gone.back()));
    }
  }
}

TEST(ServerTable, ABadOrderLeavesEveryRowAsItWas) {
  ServerTable table;
  for (const char* address : {"a:1", "b:2", "c:3"}) table.AppendRow(address);
  table.SetCell(1, kNameCell, "name b");
  for (const std::vector<int>& order : {std::vector<int>{0, 0, 1}, {2, 1, 7}, {1, 2, -1}, {0, 1}}) {
    EXPECT_THROW(table.ReorderRows(order), std::invalid_argument);
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table.Address(0), "a:1");
    EXPECT_EQ(table.Address(1), "b:2");
    EXPECT_EQ(table.Address(2), "c:3");
    EXPECT_EQ(table.Cell(1, kNameCell), "name b");
  }
}

TEST(ServerTable, UpdateBracketsCoalesceToOneReset) {
  ServerTable table;
  RecordingObserver observer;
  table.SetObserver(&observer);
  table.AppendRow("a");
  table.SetCell(0, kMapCell, "de_dust2");
  table.BeginUpdate();
  table.BeginUpdate();
  table.AppendRow("b");
  table.DeleteRow(0);
  table.EndUpdate();
  table.EndUpdate();
  table.BeginUpdate();
  table.EndUpdate();  // nothing changed: no reset
  EXPECT_EQ(observer.events, (std::vector<std::string>{"insert 0-0", "cell 0,2", "reset"}));
  table.RemoveRows({true});
  EXPECT_EQ(table.Count(), 0);
}

TEST(StatusLine, PanelThreeWritesTheMessagePanel) {
  StatusLine status;
  EXPECT_EQ(status.Panel(0), "0/0");
  EXPECT_EQ(status.Panel(1), "recv 0");
  EXPECT_EQ(status.Message(), "Vantrix " VANTRIX_VERSION " loaded");
  std::vector<int> written;
  status.SetObserver([&](int panel) { written.push_back(panel); });
  status.SetStatus(3, "t");
  EXPECT_EQ(status.Panel(2), "t");
  status.SetStatus(2, "u");
  EXPECT_EQ(status.Panel(3), "u");
  EXPECT_EQ(written, (std::vector<int>{2, 2}));
  EXPECT_THROW(status.SetStatus(4, "x"), std::out_of_range);
}

TEST(Clock, TickDifferenceIsSignedAndWrapSafe) {
  EXPECT_EQ(TickDifference(105, 100), 5);
  EXPECT_EQ(TickDifference(100, 105), -5);
  EXPECT_EQ(TickDifference(3, 0xFFFFFFFEu), 5);
  EXPECT_EQ(TickDifference(0x80000000u, 0), INT32_MIN);
  EXPECT_EQ(TickDifference(0x7FFFFFFFu, 0), INT32_MAX);
}

}  // namespace
}  // namespace vantrix

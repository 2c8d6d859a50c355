#include "core/table/ListChangeTracker.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "core/table/TableCommands.h"
#include "core/table/TableUpdateBracket.h"

namespace vantrix {
namespace {

struct CountingObserver : TableObserver {
  int reports = 0;
  int selections = 0;
  void RowsInserted(int, int) override { ++reports; }
  void RowsRemoved(int, int) override { ++reports; }
  void CellChanged(int, int) override { ++reports; }
  void Reset() override { ++reports; }
  void SelectionChanged() override { ++selections; }
};

struct Case {
  const char* what;
  std::function<void(ServerTable&)> act;
  bool changes;
};

class ListChangeTrackerCases : public testing::TestWithParam<Case> {};

TEST_P(ListChangeTrackerCases, MarksTheListChangedOrNot) {
  ServerTable table;
  CountingObserver view;
  table.SetObserver(&view);
  table.AppendRow("10.0.0.1:27015");
  table.AppendRow("10.0.0.2:27015");
  ListChangeTracker tracker(table, &view);
  const int before = view.reports;
  GetParam().act(table);
  EXPECT_EQ(tracker.Changed(), GetParam().changes) << GetParam().what;
  // The view hears of everything as before.
  EXPECT_EQ(view.reports > before, GetParam().changes) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ListChangeTrackerCases,
    testing::Values(Case{"append", [](ServerTable& rows) { rows.AppendRow("x"); }, true},
                    Case{"delete", [](ServerTable& rows) { rows.DeleteRow(0); }, true},
                    Case{"edit address", [](ServerTable& rows) { rows.SetAddress(1, "y"); }, true},
                    Case{"fill a cell", [](ServerTable& rows) { rows.SetCell(0, kWCell, "+"); }, true},
                    Case{"sort",
                         [](ServerTable& rows) {
                           ColumnClick(rows, 0);
                           ColumnClick(rows, 0);
                         },
                         true},
                    Case{"clear all info", [](ServerTable& rows) { ClearAllServersInfo(rows); }, true},
                    Case{"select", [](ServerTable& rows) { rows.SetSelectedIndex(1); }, false},
                    Case{"empty bracket", [](ServerTable& rows) { TableUpdateBracket bracket(rows); }, false},
                    Case{"nothing to remove", [](ServerTable& rows) { RemoveDuplicates(rows); }, false}));

TEST(ListChangeTracker, QuietWritesMarkNothingAndTheTableIsGivenBack) {
  ServerTable table;
  CountingObserver view;
  table.SetObserver(&view);
  {
    ListChangeTracker tracker(table, &view);
    table.AppendRow("10.0.0.1:27015");
    EXPECT_TRUE(tracker.Changed());
    tracker.MarkUnchanged();
    {
      ListChangeTracker::QuietScope refresh(tracker);
      ListChangeTracker::QuietScope nested(tracker);
      TableUpdateBracket bracket(table);
      table.SetCell(0, kPingCell, "12");
    }
    EXPECT_FALSE(tracker.Changed());
    EXPECT_EQ(table.Cell(0, kPingCell), "12");
    // After the scope, changes count again.
    table.SetCell(0, kPingCell, "13");
    EXPECT_TRUE(tracker.Changed());
    table.SetSelectedIndex(0);
    EXPECT_EQ(view.selections, 1);
  }
  const int before = view.reports;
  table.AppendRow("10.0.0.2:27015");
  EXPECT_EQ(view.reports, before + 1);
}

}  // namespace
}  // namespace vantrix

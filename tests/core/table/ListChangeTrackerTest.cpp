#include "core/table/ListChangeTracker.h"

#include <functional>

#include <gtest/gtest.h>

#include "core/table/TableCommands.h"
#include "core/table/TableUpdateBracket.h"

namespace vantrix {
namespace {

struct Case {
  const char* what;
  std::function<void(ServerTable&, ListChangeTracker&)> act;
  bool changes;
};

class ListChangeTrackerCases : public testing::TestWithParam<Case> {};

// The view behind the tracker hears of every change; only real changes mark the list.
TEST_P(ListChangeTrackerCases, MarksTheListChangedOrNot) {
  struct : TableObserver {
    int reports = 0;
    void RowsInserted(int, int) override { ++reports; }
    void RowsRemoved(int, int) override { ++reports; }
    void CellChanged(int, int) override { ++reports; }
    void Reset() override { ++reports; }
  } view;
  ServerTable table;
  table.AppendRow("b:1");
  table.AppendRow("a:1");
  {
    ListChangeTracker tracker(table, &view);
    GetParam().act(table, tracker);
    EXPECT_EQ(tracker.Changed(), GetParam().changes) << GetParam().what;
    if (GetParam().changes) {
      EXPECT_GT(view.reports, 0) << GetParam().what;
    }
  }
  table.AppendRow("c:1");  // the table is the view's again
  EXPECT_GT(view.reports, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ListChangeTrackerCases,
    testing::Values(
        Case{"append", [](ServerTable& rows, ListChangeTracker&) { rows.AppendRow("x"); }, true},
        Case{"delete", [](ServerTable& rows, ListChangeTracker&) { rows.DeleteRow(0); }, true},
        Case{"edit", [](ServerTable& rows, ListChangeTracker&) { rows.SetAddress(1, "y"); }, true},
        Case{"sort", [](ServerTable& rows, ListChangeTracker&) { ColumnClick(rows, 0); }, true},
        Case{"select", [](ServerTable& rows, ListChangeTracker&) { rows.SetSelectedIndex(1); }, false},
        Case{"empty bracket", [](ServerTable& rows, ListChangeTracker&) { TableUpdateBracket b(rows); },
             false},
        Case{"quiet refresh",
             [](ServerTable& rows, ListChangeTracker& tracker) {
               ListChangeTracker::QuietScope refresh(tracker);
               TableUpdateBracket bracket(rows);
               rows.SetCell(0, kWCell, "+");
             },
             false}));

}  // namespace
}  // namespace vantrix

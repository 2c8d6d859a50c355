#include "core/filter/TableFilter.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/filter/FilterBarSettings.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

RowFilter Text(const char* text) {
  return RowFilter(FilterQuery{ParseFilterText(text, false), {}});
}

// What the filter must show: every row that passes, in table order, and the kept row.
std::vector<int> Expected(const ServerTable& table, const RowFilter& filter, int keep) {
  std::vector<int> shown;
  for (int i = 0; i < table.Count(); ++i)
    if (i == keep || filter.Matches(table.Row(i))) shown.push_back(i);
  return shown;
}

std::vector<int> Shown(const TableFilter& filter) {
  std::vector<int> shown;
  for (int row = 0; row < filter.ShownCount(); ++row) shown.push_back(filter.PositionAt(row));
  return shown;
}

TEST(TableFilter, FollowsTypingAndTheTableAsAFullScanWould) {
  ServerTable table;
  const char* maps[] = {"de_dust2", "de_nuke", "aim_map", "cs_office"};
  for (int i = 0; i < 40; ++i) {
    ServerRow row = ServerRow::Blank("10.0.0." + std::to_string(i) + ":27015");
    row.cells[kMapCell] = maps[i % 4];
    row.cells[kNameCell] = "Server " + std::to_string(i);
    table.AppendRow(std::move(row));
  }
  TableFilter filter(table);
  EXPECT_EQ(filter.ShownCount(), 40);  // not active: every row
  for (const char* text :
       {"d", "de", "de_", "de_d", "de_du", "de_n", "de", "de -dust", "de -dust server 2"}) {
    filter.SetFilter(Text(text), -1);
    EXPECT_EQ(Shown(filter), Expected(table, filter.Filter(), -1)) << text;
  }
  filter.SetFilter(Text("dust"), 5);  // row 5 is kept though it holds de_nuke
  EXPECT_EQ(Shown(filter), Expected(table, filter.Filter(), 5));

  // A row appended that passes, one removed, a cell that changes, then a full rebuild.
  filter.SetFilter(Text("dust"), -1);
  table.AppendRow("10.9.9.9:1");
  filter.RowsInserted(40, 40);
  table.SetCell(40, kMapCell, "de_dust");
  filter.CellChanged(40, kMapCell + 1);
  if (filter.Passes(40)) filter.Show(40);
  table.DeleteRow(0);
  const auto removed = filter.RowsRemoved(0, 0);
  EXPECT_EQ(removed.end - removed.first, 1);  // row 0 held de_dust2
  table.SetCell(4, kMapCell, "aim_dust");
  filter.CellChanged(4, kMapCell + 1);
  if (filter.Passes(4)) filter.Show(4);
  EXPECT_EQ(Shown(filter), Expected(table, filter.Filter(), -1));
  EXPECT_EQ(filter.RowOf(4), 1);
  EXPECT_EQ(filter.RowOf(5), -1);
  filter.Rebuild(-1);
  EXPECT_EQ(Shown(filter), Expected(table, filter.Filter(), -1));
  EXPECT_LE(filter.MemoryBytes(), static_cast<std::size_t>(table.Count()) * 16);

  filter.SetFilter(RowFilter(), -1);
  EXPECT_EQ(filter.ShownCount(), table.Count());
}

TEST(FilterBarSettings, RoundTripsAndFallsBackToDefaultsSilently) {
  FilterBarSettings settings;
  settings.visible = true;
  settings.text = "de_dust \"server 4\"\r\nEvil=1";
  settings.toggles = {.answered = true, .notFull = true, .maxPing = 80};
  FilterBarSettings expected = settings;
  expected.text = "de_dust \"server 4\"  Evil=1";  // one line: a break would start a key
  EXPECT_EQ(ParseFilterBarSettings(FormatFilterBarSettings(settings)), expected);
  EXPECT_EQ(ParseFilterBarSettings("garbage\n\x01\xFF=\nMaxPing=-5\nMaxPing=x\nFilterBar=2"),
            FilterBarSettings{});

  test::TempDir dir;
  const auto path = FilterBarSettingsPath(dir.Path().c_str(), nullptr);
  EXPECT_EQ(path, dir.Path() / "vantrix" / "view.ini");
  EXPECT_EQ(LoadFilterBarSettings(path), FilterBarSettings{});  // missing
  ASSERT_TRUE(SaveFilterBarSettings(path, settings));
  EXPECT_EQ(LoadFilterBarSettings(path), expected);
  // A folder where the file should be: defaults on reading, and a save that leaves it be.
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  EXPECT_EQ(LoadFilterBarSettings(path), FilterBarSettings{});
  EXPECT_FALSE(SaveFilterBarSettings(path, settings));
  EXPECT_EQ(FilterBarSettingsPath(nullptr, "/home/u"),
            std::filesystem::path("/home/u/.config/vantrix/view.ini"));
}

}  // namespace
}  // namespace vantrix

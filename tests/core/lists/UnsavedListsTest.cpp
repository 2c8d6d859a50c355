#include "core/lists/UnsavedLists.h"

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/lists/ListFile.h"
#include "support/TestData.h"

namespace fs = std::filesystem;

namespace vantrix {
namespace {

using test::Slurp;
using test::Spit;
using test::TempDir;

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Local noon of a day in 2026, so the name is known whatever the time zone.
std::time_t Noon(int day, int second = 0) {
  std::tm local{};
  local.tm_year = 126;
  local.tm_mon = 0;
  local.tm_mday = day;
  local.tm_hour = 12;
  local.tm_sec = second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

void Fill(ServerTable& table, int rows) {
  for (int i = 0; i < rows; ++i) table.AppendRow("10.0.0." + std::to_string(i) + ":27015");
  table.SetCell(0, kNameCell, "Caf\xE9");  // bytes pass through unchanged
}

TEST(UnsavedLists, KeepsTheListAndTellsTheNextStartOnce) {
  TempDir dir;
  ServerTable table;
  Fill(table, 3);
  const UnsavedLists lists(dir / "state" / "vantrix");
  const auto path = lists.Keep(table, Noon(5, 7));
  ASSERT_TRUE(path);
  EXPECT_EQ(*path, dir / "state" / "vantrix" / "unsaved-20260105-120007.vnx");
  EXPECT_EQ(Slurp(*path), FormatRecordLayout(table));
  EXPECT_EQ(lists.TakeNotice(), "Unsaved list of 3 servers kept in " + path->string() + " (F3 opens it)");
  EXPECT_EQ(lists.TakeNotice(), std::nullopt);

  // Two ends in one second keep both; a kept list that is gone since is not announced.
  const auto second = lists.Keep(table, Noon(5, 7));
  ASSERT_TRUE(second);
  EXPECT_EQ(second->filename(), "unsaved-20260105-120007-2.vnx");
  fs::remove(*second);
  EXPECT_EQ(lists.TakeNotice(), std::nullopt);
  // An empty list has nothing to keep.
  ServerTable empty;
  EXPECT_EQ(lists.Keep(empty, Noon(6)), std::nullopt);
}

TEST(UnsavedLists, OnlyTheNewestTenStay) {
  TempDir dir;
  for (int day = 1; day <= 12; ++day)
    Spit(dir / ("unsaved-202512" + std::to_string(10 + day) + "-080000.vnx"), "x");
  Spit(dir / "unsaved-20251211-080000-2.vnx", "x");
  Spit(dir / "mine.vnx", "kept");
  ServerTable table;
  Fill(table, 1);
  ASSERT_TRUE(UnsavedLists(dir.Path()).Keep(table, Noon(2)));
  const std::vector<std::string> names = Names(dir.Path());
  const std::vector<std::string> expected{"last-unsaved",
                                          "mine.vnx",
                                          "unsaved-20251214-080000.vnx",
                                          "unsaved-20251215-080000.vnx",
                                          "unsaved-20251216-080000.vnx",
                                          "unsaved-20251217-080000.vnx",
                                          "unsaved-20251218-080000.vnx",
                                          "unsaved-20251219-080000.vnx",
                                          "unsaved-20251220-080000.vnx",
                                          "unsaved-20251221-080000.vnx",
                                          "unsaved-20251222-080000.vnx",
                                          "unsaved-20260102-120000.vnx"};
  EXPECT_EQ(names, expected);
}

TEST(UnsavedLists, AFolderThatTakesNothingKeepsNothing) {
  TempDir dir;
  ServerTable table;
  Fill(table, 2);
  // A file where the folder would be, and a disk that fills up midway.
  Spit(dir / "plain-file", "x");
  EXPECT_EQ(UnsavedLists(dir / "plain-file" / "vantrix").Keep(table, Noon(3)), std::nullopt);
  EXPECT_EQ(UnsavedLists(dir / "full", WriteLimit{10}).Keep(table, Noon(3)), std::nullopt);
  EXPECT_TRUE(Names(dir / "full").empty());
  EXPECT_EQ(UnsavedLists(dir / "full").TakeNotice(), std::nullopt);
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>({"full", "plain-file"}));
}

}  // namespace
}  // namespace vantrix

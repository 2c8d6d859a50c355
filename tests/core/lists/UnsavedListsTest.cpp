#include "core/lists/UnsavedLists.h"

#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "core/lists/ListFile.h"
#include "support/TestData.h"

namespace fs = std::filesystem;

namespace vantrix {
namespace {

using test::Slurp;
using test::Spit;
using test::TempDir;

// Local noon of a day in January 2026, so the name is known whatever the time zone.
std::time_t Noon(int day) {
  std::tm local{};
  local.tm_year = 126;
  local.tm_mday = day;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

TEST(UnsavedLists, KeepsTheNewestTenAndTellsTheNextStartOnce) {
  TempDir dir;
  for (int day = 10; day < 22; ++day)
    Spit(dir / ("unsaved-202512" + std::to_string(day) + "-080000.vnx"), "");
  Spit(dir / "mine.vnx", "");
  ServerTable table;
  table.AppendRow("10.0.0.1:27015");
  table.SetCell(0, kNameCell, "Caf\xE9");
  const UnsavedLists lists(dir.Path());
  const auto path = lists.Keep(table, Noon(5));
  ASSERT_TRUE(path);
  EXPECT_EQ(*path, dir / "unsaved-20260105-120000.vnx");
  EXPECT_EQ(Slurp(*path), FormatRecordLayout(table));  // the bytes as they are
  EXPECT_EQ(lists.TakeNotice(), "Unsaved list of 1 servers kept in " + path->string() + " (F3 opens it)");
  EXPECT_EQ(lists.TakeNotice(), std::nullopt);
  // The three oldest went; the user's own file stays.
  EXPECT_FALSE(fs::exists(dir / "unsaved-20251212-080000.vnx"));
  EXPECT_TRUE(fs::exists(dir / "unsaved-20251213-080000.vnx"));
  EXPECT_TRUE(fs::exists(dir / "mine.vnx"));
  // A second end in the same second keeps both.
  EXPECT_EQ(lists.Keep(table, Noon(5))->filename(), "unsaved-20260105-120000-2.vnx");
}

TEST(UnsavedLists, AFolderThatTakesNothingKeepsNothing) {
  TempDir dir;
  ServerTable table;
  EXPECT_EQ(UnsavedLists(dir / "empty").Keep(table, Noon(3)), std::nullopt);  // nothing to keep
  table.AppendRow("10.0.0.1:27015");
  Spit(dir / "file", "x");
  EXPECT_EQ(UnsavedLists(dir / "file" / "vantrix").Keep(table, Noon(3)), std::nullopt);
  EXPECT_EQ(UnsavedLists(dir / "full", WriteLimit{10}).Keep(table, Noon(3)), std::nullopt);
  EXPECT_TRUE(fs::is_empty(dir / "full"));
  EXPECT_FALSE(fs::exists(dir / "empty"));
}

}  // namespace
}  // namespace vantrix

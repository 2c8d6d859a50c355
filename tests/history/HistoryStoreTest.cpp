#include "history/HistoryStore.h"

#include <sqlite3.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "core/table/ServerTable.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryReport.h"
#include "support/FakeWallClock.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

constexpr std::int64_t kNoOffset = 0;

class HistoryStoreTest : public testing::Test {
 protected:
  std::unique_ptr<HistoryStore> MakeStore() {
    return std::make_unique<HistoryStore>(
        m_path, m_clock, [this](const std::string& line) { m_reported.push_back(line); },
        [](std::int64_t) { return kNoOffset; });
  }
  std::vector<HistoryPoint> Points(const std::string& address) {
    return ReadHistory(m_path, address, HistorySpan::kDay, m_clock.NowSeconds());
  }
  HistorySample At(std::int64_t t, int players) { return {t, "a:1", true, players, 20, std::nullopt, 30}; }

  test::TempDir m_dir;
  std::string m_path = (m_dir / "data" / "vantrix" / "history.sqlite").string();
  test::FakeWallClock m_clock;
  std::vector<std::string> m_reported;  // written by the store's thread, read after Flush
};

TEST_F(HistoryStoreTest, WritesBatchesBehindTheCallerAndKeepsTheTooltip) {
  auto store = MakeStore();
  const std::int64_t t = m_clock.NowSeconds();
  store->Record({At(t, 3), {t, "b:2", false, 0, 0, std::nullopt, 0}});
  m_clock.Advance(30);
  store->Record({At(t + 30, 7)});
  store->Flush();
  EXPECT_EQ(Points("a:1").size(), 2u);
  EXPECT_EQ(store->Summary("a:1"), "24 h: 3\u20137 players, busiest 22:00\u201323:00");
  EXPECT_EQ(store->Summary("b:2"), "24 h: no answer");
  EXPECT_EQ(store->Summary("c:3"), std::nullopt);
  EXPECT_TRUE(m_reported.empty());

  // A new store reads the tooltips back from the file.
  store.reset();
  store = MakeStore();
  store->Flush();
  EXPECT_EQ(store->Summary("a:1"), "24 h: 3\u20137 players, busiest 22:00\u201323:00");
}

TEST_F(HistoryStoreTest, ADamagedFileIsMovedAsideAndANewOneStarted) {
  std::filesystem::create_directories(std::filesystem::path(m_path).parent_path());
  const std::string garbage(8192, 'x');
  test::Spit(m_path, garbage);
  auto store = MakeStore();
  store->Flush();
  const std::string aside = m_path + ".corrupt-20231114-222000";
  ASSERT_EQ(m_reported.size(), 1u);
  EXPECT_EQ(m_reported[0],
            "Error: The history file was damaged; it was moved aside as "
            "history.sqlite.corrupt-20231114-222000 and a new one started");
  EXPECT_EQ(store->TakeError(), m_reported[0]);
  EXPECT_EQ(store->TakeError(), std::nullopt);  // one line, once
  EXPECT_EQ(test::Slurp(aside), garbage);
  store->Record({At(m_clock.NowSeconds(), 4)});
  store->Flush();
  EXPECT_FALSE(store->Stopped());
  EXPECT_EQ(Points("a:1").size(), 1u);
}

TEST_F(HistoryStoreTest, ALockedFileStopsTheHistoryWithOneLine) {
  auto store = MakeStore();
  store->Record({At(m_clock.NowSeconds(), 1)});
  store->Flush();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(m_path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  m_clock.Advance(30);
  store->Record({At(m_clock.NowSeconds(), 2)});
  store->Flush();
  m_clock.Advance(30);
  store->Record({At(m_clock.NowSeconds(), 3)});  // stopped: dropped, no second line
  store->Flush();
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_TRUE(store->Stopped());
  ASSERT_EQ(m_reported.size(), 1u);
  EXPECT_EQ(m_reported[0], "Error: History stopped: " + m_path + " is locked by another program");
  EXPECT_EQ(Points("a:1").size(), 1u);  // what was written stays
}

TEST_F(HistoryStoreTest, TheRecorderWritesWatchedRowsWithAResultOncePerCheck) {
  auto store = MakeStore();
  ServerTable table;
  for (const char* address : {"a:1", "b:2", "c:3"}) table.AppendRow(address);
  table.SetCell(0, kWCell, "+");
  table.SetCell(0, kPlayersCell, "5/20");
  table.SetCell(1, kWCell, "-");
  table.SetCell(2, kWCell, "+");
  std::vector<std::vector<HistorySample>> batches;
  HistoryRecorder recorder(table, m_clock, [&](std::vector<HistorySample> batch) {
    batches.push_back(batch);
    store->Record(std::move(batch));
  });
  const std::vector<RowId> all = {table.IdOf(0), table.IdOf(1), table.IdOf(2)};
  recorder.ChecksFinished(all);
  EXPECT_TRUE(batches.empty());  // nothing is watched until told
  recorder.SetWatched([](const ServerRow& row) { return row.address != "c:3"; });
  recorder.ChecksFinished(all);
  recorder.ChecksFinished(all);  // the same moment: a nested run finishing again
  m_clock.Advance(HistoryRecorder::kMinSpacingSeconds);
  recorder.ChecksFinished({table.IdOf(0)});
  ASSERT_EQ(batches.size(), 2u);
  EXPECT_EQ(batches[0].size(), 2u);
  EXPECT_EQ(batches[1].size(), 1u);
  store->Flush();
  EXPECT_EQ(Points("a:1").size(), 2u);
  EXPECT_EQ(Points("b:2").size(), 1u);
}

}  // namespace
}  // namespace vantrix

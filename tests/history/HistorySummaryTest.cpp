#include "history/HistorySummary.h"

#include <gtest/gtest.h>

#include "history/HistoryPaths.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryReport.h"
#include "history/HistorySpanText.h"

namespace vantrix {
namespace {

constexpr std::int64_t kMidnightUtc = 1'699'920'000;  // 2023-11-14 00:00 UTC

// A day every five minutes: players peak at 18 at 18:00 UTC (20:00 two hours east), ping
// 41 ms, and the first nine checks of the day went unanswered (97% answered).
std::vector<HistorySample> ADay() {
  std::vector<HistorySample> day;
  for (int i = 0; i < 288; ++i) {
    const std::int64_t t = kMidnightUtc + i * 300;
    const int hour = i / 12;
    day.push_back({t, "10.0.0.5:27015", i >= 9, hour == 18 ? 18 : hour % 10, 20, std::nullopt, 40 + i % 3});
  }
  return day;
}

TEST(HistorySummary, TellsTheDaysRangeAndItsBusiestLocalHour) {
  HistorySummary summary([](std::int64_t) { return 7200; });
  for (const HistorySample& s : ADay())
    summary.Add(s.address, s.time, 1, s.answered ? 1 : 0, s.players, s.players, s.players);
  summary.Add("10.0.0.6:27015", kMidnightUtc, 1, 0, 0, 0, 0);
  EXPECT_EQ(summary.Text("10.0.0.5:27015"), "24 h: 0\u201318 players, busiest 20:00\u201321:00");
  EXPECT_EQ(summary.Text("10.0.0.6:27015"), "24 h: no answer");
  EXPECT_EQ(summary.Text("10.0.0.7:27015"), std::nullopt);
  EXPECT_EQ(summary.Texts().size(), 2u);
  summary.Prune(kMidnightUtc + 3 * 86'400);
  EXPECT_EQ(summary.Text("10.0.0.5:27015"), std::nullopt);
}

TEST(HistorySpanText, DescribesTheShownSpan) {
  std::vector<HistoryPoint> points;
  for (const HistorySample& s : ADay()) {
    HistoryPoint& p = points.emplace_back();
    p.time = s.time;
    p.count = 1;
    p.answered = s.answered ? 1 : 0;
    p.playersMin = p.playersMax = s.players;
    p.pingMean = s.ping;
  }
  EXPECT_EQ(DescribeSpan(HistorySpan::kDay, points),
            "24 hours: 288 samples, players 0\u201318, mean ping 41 ms, answered 97%");
  EXPECT_EQ(DescribeSpan(HistorySpan::kMonth, {points.front()}), "30 days: 1 samples, answered 0%");
  EXPECT_EQ(DescribeSpan(HistorySpan::kWeek, {}), "No history yet");
}

TEST(HistoryReport, PrintsSamplesAndAggregatesAsCsvAndJson) {
  HistoryPoint answered{kMidnightUtc, 1, 1, 12, 12, 12, 20, 3, 41, 41, 41};
  HistoryPoint silent{kMidnightUtc + 30, 1, 0, 0, 0, 0, 0, std::nullopt, 0, 0, 0};
  EXPECT_EQ(FormatHistoryCsv("a:1", HistorySpan::kDay, {answered, silent}),
            "time,address,answered,players,max,bots,ping\n"
            "2023-11-14T00:00:00Z,a:1,1,12,20,3,41\n"
            "2023-11-14T00:00:30Z,a:1,0,,,,\n");
  HistoryPoint bucket{kMidnightUtc, 20, 19, 2, 7.5, 12, 20, std::nullopt, 30, 41.25, 60};
  EXPECT_EQ(
      FormatHistoryCsv("a:1", HistorySpan::kWeek, {bucket}),
      "time,address,count,answered,players_min,players_mean,players_max,max,ping_min,ping_mean,ping_max\n"
      "2023-11-14T00:00:00Z,a:1,20,19,2,7.5,12,20,30,41.2,60\n");
  EXPECT_EQ(
      FormatHistoryJson("a:1", HistorySpan::kDay, {silent}),
      "[\n  {\n    \"time\": \"2023-11-14T00:00:30Z\",\n    \"address\": \"a:1\",\n    \"answered\": false,\n"
      "    \"players\": null,\n    \"max\": null,\n    \"bots\": null,\n    \"ping\": null\n  }\n]\n");
}

TEST(HistoryPaths, FollowTheDataHomeAndNameDamagedFilesByTheirTime) {
  EXPECT_EQ(HistoryPathFor("/data", "/home/u"), "/data/vantrix/history.sqlite");
  EXPECT_EQ(HistoryPathFor("", "/home/u"), "/home/u/.local/share/vantrix/history.sqlite");
  EXPECT_EQ(HistoryPathFor("relative", "/home/u"), "/home/u/.local/share/vantrix/history.sqlite");
  EXPECT_EQ(HistoryPathFor(nullptr, "/home/u"), "/home/u/.local/share/vantrix/history.sqlite");
  EXPECT_EQ(CorruptPath("/d/history.sqlite", kMidnightUtc + 3723),
            "/d/history.sqlite.corrupt-20231114-010203");
}

TEST(HistoryRecorder, ReadsARowsResultFromItsCells) {
  struct Case {
    const char* w;
    const char* ping;
    const char* players;
    std::optional<HistorySample> expected;
  };
  const Case cases[] = {
      {"+", "41", "12/20", HistorySample{5, "a:1", true, 12, 20, std::nullopt, 41}},
      {"+", " ", " ", HistorySample{5, "a:1", true, 0, 0, std::nullopt, 0}},
      {"-", "41", "12/20", HistorySample{5, "a:1", false, 0, 0, std::nullopt, 0}},
      {" ", "41", "12/20", std::nullopt},
      {"", "41", "12/20", std::nullopt},
  };
  for (const Case& c : cases) {
    ServerRow row = ServerRow::Blank("a:1");
    row.cells[kWCell] = c.w;
    row.cells[kPingCell] = c.ping;
    row.cells[kPlayersCell] = c.players;
    EXPECT_EQ(HistoryRecorder::SampleOf(row, 5), c.expected) << c.w << " " << c.players;
  }
}

}  // namespace
}  // namespace vantrix

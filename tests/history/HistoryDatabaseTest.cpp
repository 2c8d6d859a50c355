#include "history/HistoryDatabase.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "history/HistorySpanText.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

constexpr std::int64_t kStart = 1'700'000'400;  // a whole ten minutes
constexpr std::int64_t kDay = 86'400;

struct RetentionCase {
  const char* name;
  int servers;
  std::int64_t interval;
  std::int64_t seconds;  // fed from kStart on
  std::int64_t samples;  // kept at the end, all servers
  std::int64_t aggregates;
};

class Retention : public testing::TestWithParam<RetentionCase> {};

// Feeds every server at each interval and retains every ten minutes, as the writer does.
TEST_P(Retention, KeepsADayOfSamplesThenTenMinuteAggregatesForAMonth) {
  const RetentionCase& c = GetParam();
  test::TempDir dir;
  HistoryDatabase db((dir / "history.sqlite").string());
  std::int64_t nextRetain = kStart;
  std::int64_t now = kStart;
  for (std::int64_t t = kStart; t < kStart + c.seconds; t += c.interval) {
    now = t;
    std::vector<HistorySample> batch;
    for (int s = 0; s < c.servers; ++s)
      batch.push_back({t, "10.0.0." + std::to_string(s) + ":27015", true, s, 20, std::nullopt, 40});
    db.Append(batch);
    if (t >= nextRetain) {
      db.Retain(t);
      nextRetain = t + 600;
    }
  }
  db.Retain(now);
  EXPECT_EQ(db.SampleCount(), c.samples);
  EXPECT_EQ(db.AggregateCount(), c.aggregates);
}

INSTANTIATE_TEST_SUITE_P(SyntheticMonths, Retention,
                         testing::Values(
                             // Nothing is a day old yet.
                             RetentionCase{"TwoHours", 1, 30, 2 * 3600, 240, 0},
                             // The day from the last whole ten minutes on; 287 ten minutes before.
                             RetentionCase{"ThreeDays", 1, 60, 3 * kDay, 1450, 287},
                             // Aggregates older than thirty days are gone.
                             RetentionCase{"FiveWeeks", 2, 600, 35 * kDay, 2 * 145, 2 * 4176}),
                         [](const auto& param) { return std::string(param.param.name); });

// Two days of one server each minute: players follow the hour, ping cycles 40, 41, 42,
// and the fifth hour nobody answered.
class TwoDays : public testing::Test {
 protected:
  void SetUp() override {
    for (std::int64_t t = kStart; t < kStart + 2 * kDay; t += 60) {
      const std::int64_t hour = (t - kStart) / 3600;
      const bool answered = hour != 5;
      m_db.Append({{t, "a:1", answered, static_cast<int>(hour % 19), 20, std::nullopt,
                    static_cast<int>(40 + (t / 60) % 3)}});
      m_now = t;
    }
    m_db.Retain(m_now);
  }

  test::TempDir m_dir;
  HistoryDatabase m_db{(m_dir / "history.sqlite").string()};
  std::int64_t m_now = 0;
};

TEST_F(TwoDays, AggregatesHoldMinMeanMaxAndGapsWhereNothingAnswered) {
  const std::vector<HistoryPoint> week = m_db.Points("a:1", HistorySpan::kWeek, m_now);
  int checks = 0;
  std::int64_t previous = 0;
  for (const HistoryPoint& point : week) {
    EXPECT_GT(point.time, previous);  // stored and folded ten minutes never overlap
    EXPECT_EQ(point.time % 600, 0);
    previous = point.time;
    checks += point.count;
    const std::int64_t hour = (point.time - kStart) / 3600;
    EXPECT_EQ(point.answered, hour == 5 ? 0 : point.count) << hour;
    if (point.answered > 0) {
      EXPECT_EQ(point.playersMin, hour % 19);
      EXPECT_EQ(point.playersMax, hour % 19);
      EXPECT_EQ(point.pingMin, 40);
      EXPECT_EQ(point.pingMax, 42);
      EXPECT_NEAR(point.pingMean, 41, 1);
      EXPECT_EQ(point.maxPlayers, 20);
    }
  }
  EXPECT_EQ(checks, 2 * 1440);
  EXPECT_EQ(week.size(), 2u * 144);

  const std::vector<HistoryPoint> day = m_db.Points("a:1", HistorySpan::kDay, m_now);
  ASSERT_EQ(day.size(), 1441u);  // from exactly a day ago
  EXPECT_EQ(day.front().time, m_now - kDay);
  EXPECT_TRUE(m_db.Points("b:2", HistorySpan::kDay, m_now).empty());
  EXPECT_EQ(DescribeSpan(HistorySpan::kWeek, week),
            "7 days: 2880 samples, players 0\u201318, mean ping 41 ms, answered 98%");
}

TEST_F(TwoDays, AFoldAfterTheClockWentBackMergesIntoTheSameAggregate) {
  const std::int64_t count = m_db.AggregateCount();
  // A sample stamped in an hour already folded, as after the clock was set back.
  m_db.Append({{kStart + 3 * 3600 + 30, "a:1", true, 100, 200, std::nullopt, 10}});
  m_db.Retain(m_now);
  EXPECT_EQ(m_db.AggregateCount(), count);
  const auto week = m_db.Points("a:1", HistorySpan::kWeek, m_now);
  const auto merged = std::find_if(week.begin(), week.end(),
                                   [](const HistoryPoint& p) { return p.time == kStart + 3 * 3600; });
  ASSERT_NE(merged, week.end());
  EXPECT_EQ(merged->count, 11);
  EXPECT_EQ(merged->playersMin, 3);
  EXPECT_EQ(merged->playersMax, 100);
  EXPECT_EQ(merged->pingMin, 10);
  EXPECT_EQ(merged->maxPlayers, 200);
}

}  // namespace
}  // namespace vantrix

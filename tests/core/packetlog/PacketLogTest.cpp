#include "core/packetlog/PacketLog.h"

#include <random>

#include <gtest/gtest.h>

#include "core/packetlog/PacketLogLine.h"
#include "core/time/SystemWallClock.h"

namespace vantrix {
namespace {

class FixedClock final : public WallClock {
 public:
  std::int64_t NowSeconds() const override { return 0; }
  TimeOfDay LocalTimeOfDay() const override { return time; }
  TimeOfDay time{21, 34, 5};
};

// The bytes of a literal, zero bytes included.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// Records what a view would be told.
class Recorder final : public PacketLogObserver {
 public:
  void EntryAppended(std::string_view entry) override { events.push_back("+" + std::string(entry)); }
  void LogCleared() override { events.push_back("clear"); }
  std::vector<std::string> events;
};

TEST(PacketLogLine, TimeInTheLongFormat) {
  EXPECT_EQ(LongTimeText({21, 34, 5}), "21:34:05");
  EXPECT_EQ(LongTimeText({0, 0, 0}), "00:00:00");
  EXPECT_EQ(LongTimeText({9, 5, 3}), "09:05:03");
  EXPECT_EQ(LongTimeText({23, 59, 60}), "23:59:60");  // a leap second stays as the clock gives it
  const TimeOfDay now = SystemWallClock().LocalTimeOfDay();
  EXPECT_GE(now.hour, 0);
  EXPECT_LE(now.hour, 23);
  EXPECT_GE(now.minute, 0);
  EXPECT_LE(now.minute, 59);
  EXPECT_GE(now.second, 0);
  EXPECT_LE(now.second, 60);
}

// The desktop's long time formats, as locales give them.
TEST(PacketLogLine, TimeInTheDesktopsFormat) {
  const TimeOfDay evening{21, 34, 5};
  const TimeOfDay morning{9, 5, 3};
  const TimeOfDay midnight{0, 7, 0};
  const TimeOfDay noon{12, 0, 59};
  TimeFormat twelve{"h:mm:ss AP t", "AM", "PM"};
  EXPECT_EQ(twelve.Format(evening), "9:34:05 PM");  // the time zone is left out
  EXPECT_EQ(twelve.Format(morning), "9:05:03 AM");
  EXPECT_EQ(twelve.Format(midnight), "12:07:00 AM");
  EXPECT_EQ(twelve.Format(noon), "12:00:59 PM");
  EXPECT_EQ((TimeFormat{"hh:mm:ss ap", "AM", "PM"}.Format(midnight)), "12:07:00 am");
  EXPECT_EQ((TimeFormat{"HH:mm:ss t", "", ""}.Format(morning)), "09:05:03");
  EXPECT_EQ((TimeFormat{"tttt HH.mm.ss", "", ""}.Format(evening)), "21.34.05");
  // h without an AM/PM field is the 24-hour clock; H is it always.
  EXPECT_EQ((TimeFormat{"h:mm:ss", "AM", "PM"}.Format(evening)), "21:34:05");
  EXPECT_EQ((TimeFormat{"H:mm:ss A", "vorm.", "nachm."}.Format(evening)), "21:34:05 NACHM.");
  // Quoted text stands as it is, fields inside it included; '' is one quote.
  EXPECT_EQ((TimeFormat{"HH 'h' mm 'min' ss 's'", "", ""}.Format(morning)), "09 h 05 min 03 s");
  EXPECT_EQ((TimeFormat{"HH''mm:ss", "", ""}.Format(morning)), "09'05:03");
  EXPECT_EQ((TimeFormat{"HH:mm:ss.zzz", "", ""}.Format(morning)), "09:05:03.000");
  // A format that cannot say when (no seconds, or nothing at all) gives the default.
  EXPECT_EQ((TimeFormat{"HH:mm", "", ""}.Format(evening)), "21:34:05");
  EXPECT_EQ((TimeFormat{"", "", ""}.Format(evening)), "21:34:05");
  EXPECT_EQ(PacketLogLine("x", evening, twelve), "9:34:05 PM - x");
}

TEST(PacketLogLine, ZeroBytesBecomeSpacesAndNothingElseChanges) {
  const std::string reply = Bytes("\xFF\xFF\xFF\xFFm127.0.0.1:27015\0My server\0de_dust\0\x01\x02\0");
  ASSERT_EQ(reply.size(), 42u);
  EXPECT_EQ(PacketLogLine(reply, {7, 8, 9}),
            "07:08:09 - \xFF\xFF\xFF\xFFm127.0.0.1:27015 My server de_dust \x01\x02 ");

  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
  const std::string line = PacketLogLine(everyByte, {1, 2, 3});
  ASSERT_EQ(line.size(), 11u + 256u);
  EXPECT_EQ(line.substr(0, 11), "01:02:03 - ");
  EXPECT_EQ(line[11], ' ');
  for (int b = 1; b < 256; ++b) EXPECT_EQ(static_cast<unsigned char>(line[11 + b]), b);
  EXPECT_EQ(PacketLogLine("", {1, 2, 3}), "01:02:03 - ");
  EXPECT_EQ(PacketLogLine(std::string(3, '\0'), {1, 2, 3}), "01:02:03 -    ");
}

TEST(PacketLog, TheEntryBeyondTwoThousandLinesEmptiesTheLog) {
  FixedClock clock;
  PacketLog log(clock);
  Recorder recorder;
  log.SetObserver(&recorder);
  for (int i = 0; i < 2000; ++i) log.LogPacket("p" + std::to_string(i));
  EXPECT_EQ(log.LineCount(), 2000u);
  ASSERT_EQ(log.Entries().size(), 2000u);
  EXPECT_EQ(log.Entries().front(), "21:34:05 - p0");
  EXPECT_EQ(log.Entries().back(), "21:34:05 - p1999");
  EXPECT_EQ(recorder.events.size(), 2000u);

  log.LogPacket("p2000");
  EXPECT_EQ(log.LineCount(), 0u);
  EXPECT_TRUE(log.Entries().empty());
  EXPECT_EQ(log.Text(), "");
  ASSERT_EQ(recorder.events.size(), 2002u);
  EXPECT_EQ(recorder.events[2000], "+21:34:05 - p2000");  // added, then emptied
  EXPECT_EQ(recorder.events[2001], "clear");

  clock.time = {6, 0, 1};
  log.LogPacket(std::string("next\0", 5));
  EXPECT_EQ(log.LineCount(), 1u);
  EXPECT_EQ(log.Text(), "06:00:01 - next ");
  EXPECT_EQ(recorder.events.back(), "+06:00:01 - next ");
}

TEST(PacketLog, AnEntryWithLineBreaksIsOneLine) {
  FixedClock clock;
  PacketLog log(clock);
  for (int i = 0; i < 1996; ++i) log.LogPacket("x");
  log.LogPacket("a\r\nb");
  EXPECT_EQ(log.LineCount(), 1997u);
  log.LogPacket("c\nd");
  log.LogPacket("\r");
  log.LogPacket("end\n");
  EXPECT_EQ(log.LineCount(), 2000u);
  EXPECT_EQ(log.Entries().size(), 2000u);
  // The bytes stay as they came; only the count treats the entry as the one line it is.
  EXPECT_EQ(log.Entries()[1996], "21:34:05 - a\r\nb");
  log.LogPacket("\n\n\n");
  EXPECT_EQ(log.LineCount(), 0u);

  log.LogPacket("one");
  log.LogPacket("two\rthree");
  EXPECT_EQ(log.LineCount(), 2u);
}

TEST(PacketLog, LineCountMatchesARecountOnRandomTraffic) {
  FixedClock clock;
  PacketLog log(clock);
  std::mt19937 random(13);
  std::size_t clears = 0;
  Recorder recorder;
  log.SetObserver(&recorder);
  for (int i = 0; i < 30000; ++i) {
    std::string datagram;
    const int length = static_cast<int>(random() % 6);
    for (int k = 0; k < length; ++k) datagram.push_back("ab\r\n\0"[random() % 5]);
    const std::size_t before = log.LineCount();
    log.LogPacket(datagram);
    ASSERT_EQ(log.LineCount(), log.Entries().size());
    ASSERT_LE(log.LineCount(), PacketLog::kMaxLines);
    if (log.Entries().empty()) {
      ++clears;
      ASSERT_EQ(before, PacketLog::kMaxLines);
      ASSERT_EQ(recorder.events.back(), "clear");
    }
  }
  EXPECT_GT(clears, 5u);
}

}  // namespace
}  // namespace vantrix

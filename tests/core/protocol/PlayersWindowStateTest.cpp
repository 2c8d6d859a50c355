#include "core/protocol/PlayersWindowState.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantrix {
namespace {

const std::string kHeader("\xFF\xFF\xFF\xFF\x44", 5);

struct Player {
  std::string name;
  std::int32_t score = 0;
  std::string time = std::string("\x79\xE9\xF6\x42", 4);  // 123.456f
  std::uint8_t index = 0;
};

std::string Int32Le(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((u >> (8 * i)) & 0xFF);
  return bytes;
}

std::string FloatLe(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return Int32Le(static_cast<std::int32_t>(bits));
}

std::string Record(const Player& p) {
  return std::string(1, static_cast<char>(p.index)) + p.name + std::string(1, '\0') + Int32Le(p.score) +
         p.time;
}

std::string Reply(std::uint8_t count, const std::vector<Player>& players) {
  std::string d = kHeader + static_cast<char>(count);
  for (const Player& p : players) d += Record(p);
  return d;
}

std::string Reply(const std::vector<Player>& players) {
  return Reply(static_cast<std::uint8_t>(players.size()), players);
}

// The zero-byte search as first written for this window, kept literally (plus bounds
// checks) to show the layout decoder gives the same lines wherever that search was right.
std::vector<std::string> ZeroSearchDecode(const std::string& d) {
  std::vector<std::string> lines;
  if (d.size() < 5 || d.compare(0, 5, kHeader) != 0) return lines;
  if (d.size() < 6 || d[5] == 0) return lines;
  const int n = static_cast<std::uint8_t>(d[5]);
  std::string r = d;
  for (int i = 0; i < n; ++i) {
    const auto p = r.find('\0');
    if (p == std::string::npos) break;
    const auto q = r.find('\0', p + 1);
    if (q == std::string::npos || q + 1 >= r.size()) break;
    lines.push_back("[" + std::to_string(static_cast<std::uint8_t>(r[q + 1])) + "] - " +
                    r.substr(p + 1, q - p - 1));
    r = q + 6 < r.size() ? r.substr(q + 6) : std::string();
  }
  return lines;
}

std::string RandomName(std::mt19937& rng, bool allowEmpty) {
  std::uniform_int_distribution<int> length(allowEmpty ? 0 : 1, 24);
  std::uniform_int_distribution<int> byte(1, 255);
  std::string name;
  for (int i = length(rng); i > 0; --i) name += static_cast<char>(byte(rng));
  return name;
}

TEST(PlayersWindowState, RequestIsElevenBytes) {
  const std::string_view request = PlayersWindowState::Request();
  ASSERT_EQ(request.size(), 11u);
  EXPECT_EQ(request.substr(0, 4), std::string_view("\xFF\xFF\xFF\xFF", 4));
  EXPECT_EQ(request.substr(4), "players");
}

TEST(PlayersWindowState, NoPlayersOrNoCountShowsNothing) {
  EXPECT_TRUE(PlayersWindowState::Decode(kHeader + '\0').empty());
  EXPECT_TRUE(PlayersWindowState::Decode(kHeader).empty());
  // A zero count wins over records that follow it.
  EXPECT_TRUE(PlayersWindowState::Decode(Reply(0, {{"ghost", 1}})).empty());
}

TEST(PlayersWindowState, TwoPlayersInRecordOrder) {
  const auto lines = PlayersWindowState::Decode(Reply({{"Alice", 5}, {"Bob", 5}}));
  EXPECT_EQ(lines, (std::vector<std::string>{"[5] - Alice", "[5] - Bob"}));
}

TEST(PlayersWindowState, FragIsTheScoresLowestByteUnsigned) {
  const auto lines =
      PlayersWindowState::Decode(Reply({{"a", 300}, {"b", -1}, {"c", 256}, {"d", 0x7FFFFF80}}));
  EXPECT_EQ(lines, (std::vector<std::string>{"[44] - a", "[255] - b", "[0] - c", "[128] - d"}));
}

TEST(PlayersWindowState, OtherDatagramsAreIgnored) {
  std::string wrongType = Reply({{"Alice", 5}});
  wrongType[4] = 0x45;
  EXPECT_TRUE(PlayersWindowState::Decode(wrongType).empty());
  std::string wrongPrefix = Reply({{"Alice", 5}});
  wrongPrefix[0] = '\xFE';
  EXPECT_TRUE(PlayersWindowState::Decode(wrongPrefix).empty());
  EXPECT_TRUE(PlayersWindowState::Decode(std::string("\xFF\xFF\xFF\xFF", 4)).empty());
  EXPECT_TRUE(PlayersWindowState::Decode("").empty());
}

TEST(PlayersWindowState, NameBytesAreKeptUnchanged) {
  const std::string name("\xE9t\xE9 [x] - \xFF\x01", 12);
  const auto lines = PlayersWindowState::Decode(Reply({{name, 7}}));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "[7] - " + name);
  EXPECT_EQ(PlayersWindowState::Decode(Reply({{"", 3}})), std::vector<std::string>{"[3] - "});
}

TEST(PlayersWindowState, TimesWithZeroBytesAndNonZeroIndexesDecodeRight) {
  Player whole{"Whole", 9, FloatLe(2.0f)};  // 00 00 00 40
  Player zeroTime{"Zero", 4, FloatLe(0.0f)};
  Player indexed{"Indexed", 12, FloatLe(61.5f), 7};
  Player last{"Last", 1};
  const std::string d = Reply({whole, zeroTime, indexed, last});
  const std::vector<std::string> expected{"[9] - Whole", "[4] - Zero", "[12] - Indexed", "[1] - Last"};
  EXPECT_EQ(PlayersWindowState::Decode(d), expected);
  // The zero-byte search loses its way on exactly these records.
  EXPECT_NE(ZeroSearchDecode(d), expected);
}

TEST(PlayersWindowState, CutRecordsAndLyingCountsStopAtTheEnd) {
  const std::string d = Reply(5, {{"One", 1}, {"Two", 2}});
  EXPECT_EQ(PlayersWindowState::Decode(d), (std::vector<std::string>{"[1] - One", "[2] - Two"}));
  // A count smaller than the records present shows only that many.
  EXPECT_EQ(PlayersWindowState::Decode(Reply(1, {{"One", 1}, {"Two", 2}})),
            std::vector<std::string>{"[1] - One"});

  const std::string first = Reply(2, {{"One", 1}});
  const std::string second = Record({"Two", 2});
  // Every cut inside the second record: its line is not shown, the first one stays.
  for (std::size_t keep = 0; keep < second.size(); ++keep) {
    SCOPED_TRACE(keep);
    EXPECT_EQ(PlayersWindowState::Decode(first + second.substr(0, keep)),
              std::vector<std::string>{"[1] - One"});
  }
  EXPECT_EQ(PlayersWindowState::Decode(first + second).size(), 2u);
}

TEST(PlayersWindowState, SameLinesAsTheZeroSearchWhereThatSearchHolds) {
  std::mt19937 rng(20240601);
  std::uniform_int_distribution<int> count(1, 40);
  std::uniform_int_distribution<std::int32_t> score(INT32_MIN, INT32_MAX);
  std::uniform_int_distribution<int> nonZero(1, 255);
  std::uniform_int_distribution<int> any(0, 255);
  for (int round = 0; round < 2000; ++round) {
    std::vector<Player> players(static_cast<std::size_t>(count(rng)));
    for (Player& p : players) {
      // Index 0, names without zero bytes, and times whose upper three bytes are not zero.
      p.name = RandomName(rng, false);
      p.score = score(rng);
      p.time = {static_cast<char>(any(rng)), static_cast<char>(nonZero(rng)), static_cast<char>(nonZero(rng)),
                static_cast<char>(nonZero(rng))};
    }
    const std::string d = Reply(players);
    const auto lines = PlayersWindowState::Decode(d);
    ASSERT_EQ(lines, ZeroSearchDecode(d)) << "round " << round;
    ASSERT_EQ(lines.size(), players.size());
  }
}

// "[" + 0..255 + "] - " + a name without zero bytes.
bool IsPlayerLine(const std::string& line) {
  if (line.size() < 6 || line[0] != '[') return false;
  const auto close = line.find("] - ");
  if (close == std::string::npos || close < 2 || close > 4) return false;
  int frag = 0;
  for (std::size_t i = 1; i < close; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
    frag = frag * 10 + (line[i] - '0');
  }
  if (close > 2 && line[1] == '0') return false;
  return frag <= 255 && line.find('\0') == std::string::npos;
}

TEST(PlayersWindowState, RandomAndMutatedDatagramsKeepTheInvariants) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> smallCount(0, 12);
  for (int round = 0; round < 100000; ++round) {
    std::string d;
    if (percent(rng) < 40) {
      // Random bytes, most with the right header.
      const int length = std::uniform_int_distribution<int>(0, 200)(rng);
      for (int i = 0; i < length; ++i) d += static_cast<char>(byte(rng));
      if (percent(rng) < 80) d.replace(0, std::min<std::size_t>(5, d.size()), kHeader);
    } else {
      std::vector<Player> players(static_cast<std::size_t>(smallCount(rng)));
      for (Player& p : players) {
        p.name = RandomName(rng, true);
        p.score = static_cast<std::int32_t>(rng());
        p.time = Int32Le(static_cast<std::int32_t>(rng()));
        p.index = static_cast<std::uint8_t>(byte(rng));
      }
      d = Reply(static_cast<std::uint8_t>(percent(rng) < 20 ? byte(rng) : static_cast<int>(players.size())),
                players);
      for (int flips = percent(rng) % 4; flips > 0 && d.size() > 6; --flips) {
        d[std::uniform_int_distribution<std::size_t>(5, d.size() - 1)(rng)] = static_cast<char>(byte(rng));
      }
      if (percent(rng) < 30) d.resize(std::uniform_int_distribution<std::size_t>(0, d.size())(rng));
    }
    const auto lines = PlayersWindowState::Decode(d);
    if (lines.empty()) continue;
    ASSERT_GE(d.size(), 6u);
    const std::size_t count = static_cast<std::uint8_t>(d[5]);
    // Every record takes at least 10 bytes: index, zero, score and time.
    ASSERT_LE(lines.size(), std::min(count, (d.size() - 6) / 10)) << round;
    for (const auto& line : lines) ASSERT_TRUE(IsPlayerLine(line)) << round << ": " << line;
    // A datagram cut short shows a leading part of the same lines, never other ones.
    const auto cut =
        PlayersWindowState::Decode(d.substr(0, d.size() - 1 - (static_cast<std::size_t>(round) % d.size())));
    ASSERT_LE(cut.size(), lines.size());
    ASSERT_TRUE(std::equal(cut.begin(), cut.end(), lines.begin())) << round;
  }
}

}  // namespace
}  // namespace vantrix

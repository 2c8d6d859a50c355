#include <gtest/gtest.h>

#include "core/protocol/PlayerList.h"
#include "core/protocol/RuleList.h"
#include "fake/FakeReplies.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

TEST(PlayerList, DecodesEveryRecordAndStopsAtOneCutShort) {
  const std::vector<fake::Player> players{
      {0, "alpha", 12, 65.5f}, {1, "", -3, 0.25f}, {2, "g\xE9", 300, 1.0f}};
  const std::string reply = fake::BuildPlayersReply(players);
  auto list = DecodePlayerList(reply);
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ((*list)[i].name, players[i].name);
    EXPECT_EQ((*list)[i].score, players[i].score);
    EXPECT_EQ((*list)[i].seconds, players[i].time);
  }
  // Any cut gives the whole records before it, never a record made up.
  for (std::size_t size = 6; size < reply.size(); ++size) {
    auto cut = DecodePlayerList(std::string_view(reply).substr(0, size));
    ASSERT_TRUE(cut);
    ASSERT_LT(cut->size(), 3u);
    for (std::size_t i = 0; i < cut->size(); ++i) EXPECT_EQ((*cut)[i], (*list)[i]);
  }
  EXPECT_EQ(DecodePlayerList("\xFF\xFF\xFF\xFF"
                             "D\x00"s)
                ->size(),
            0u);
  EXPECT_FALSE(
      DecodePlayerList("\xFF\xFF\xFF\xFF"
                       "D"s));
  EXPECT_FALSE(
      DecodePlayerList("\xFF\xFF\xFF\xFF"
                       "E\x00\x00"s));
}

std::string LittleEndian32(std::int32_t value) {
  std::string out;
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF));
  return out;
}

// Exactly the announced records are read; what follows them is no player, and is The
// Ship's deaths and money only when the info reply named The Ship.
TEST(PlayerList, TheCountByteSaysHowManyRecordsFollow) {
  const std::string two = fake::BuildPlayersReply({{0, "ann", 4, 1.0f}, {1, "bob", 7, 2.0f}});
  const std::string shipExtras =
      LittleEndian32(1) + LittleEndian32(500) + LittleEndian32(2) + LittleEndian32(750);
  std::string threeOfFour =
      fake::BuildPlayersReply({{0, "a", 1, 1}, {0, "b", 2, 1}, {0, "c", 3, 1}, {0, "d", 4, 1}});
  threeOfFour[5] = 3;
  struct Case {
    const char* what;
    std::string reply;
    std::optional<std::uint16_t> appId;
    std::size_t players;
    std::optional<std::int32_t> secondMoney;
  };
  const Case cases[] = {
      {"extras of an unknown game", two + shipExtras, std::nullopt, 2, std::nullopt},
      {"extras of The Ship", two + shipExtras, std::uint16_t{2400}, 2, 750},
      {"The Ship's extras cut short", two + shipExtras.substr(0, 12), std::uint16_t{2400}, 2, std::nullopt},
      {"extras of another game", two + shipExtras, std::uint16_t{240}, 2, std::nullopt},
      {"fewer announced than sent", threeOfFour, std::nullopt, 3, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto list = DecodePlayerListReply(c.reply, c.appId);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->players.size(), c.players);
    ASSERT_EQ(list->shipExtras.size(), c.secondMoney ? c.players : 0u);
    if (c.secondMoney) {
      EXPECT_EQ(list->shipExtras.back().money, *c.secondMoney);
      EXPECT_EQ(list->shipExtras.front().deaths, 1);
    }
  }
}

// A quarter of a megabyte (what a small compressed reply may unpack to) of the shortest
// pairs and records: the lists stay bounded, and what is kept is the start of the reply.
TEST(RuleList, AHugeReplyOfTinyEntriesIsCutAtTheCaps) {
  const std::string rulesReply =
      "\xFF\xFF\xFF\xFF"
      "E\x00\x00"s +
      std::string(256 * 1024, '\0');
  const auto rules = DecodeRuleList(rulesReply);
  ASSERT_TRUE(rules);
  EXPECT_EQ(rules->size(), kMaxRules);
  EXPECT_EQ(rules->front(), (RuleEntry{"", ""}));

  std::string playersReply =
      "\xFF\xFF\xFF\xFF"
      "D\xFF"s;
  for (int i = 0; i < 26000; ++i) playersReply += "\x00p\x00\x01\x00\x00\x00\x00\x00\x00\x00"s;
  const auto players = DecodePlayerList(playersReply);
  ASSERT_TRUE(players);
  EXPECT_EQ(players->size(), 255u);
  EXPECT_EQ(players->front().name, "p");
  EXPECT_EQ(players->front().score, 1);
}

TEST(RuleList, DecodesPairsAndStopsAtAPairCutShort) {
  const std::string reply = fake::BuildRulesReply({{"a", "1"}, {"", "x"}, {"sv_name", ""}});
  auto rules = DecodeRuleList(reply);
  ASSERT_TRUE(rules);
  ASSERT_EQ(rules->size(), 3u);
  EXPECT_EQ((*rules)[1], (RuleEntry{"", "x"}));
  EXPECT_EQ((*rules)[2], (RuleEntry{"sv_name", ""}));
  EXPECT_EQ(DecodeRuleList(reply.substr(0, reply.size() - 1))->size(), 2u);
  EXPECT_EQ(DecodeRuleList("\xFF\xFF\xFF\xFF"
                           "E\x09\x00"
                           "name\0"s)
                ->size(),
            0u);
  EXPECT_FALSE(
      DecodeRuleList("\xFF\xFF\xFF\xFF"
                     "E\x01"s));
  EXPECT_FALSE(
      DecodeRuleList("\xFF\xFF\xFF\xFF"
                     "D\x01\x00"s));
}

}  // namespace
}  // namespace vantrix

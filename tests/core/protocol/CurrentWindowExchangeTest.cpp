#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/protocol/PlayersWindowState.h"
#include "core/protocol/RulesCollector.h"
#include "fake/FakeReplies.h"

namespace vantrix {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

constexpr const char* kAsked = "10.0.0.5:27015";

std::string ManyRules(int count) {
  std::vector<fake::Rule> rules;
  for (int i = 0; i < count; ++i) rules.push_back({"sv_rule" + std::to_string(i), std::to_string(i)});
  return fake::BuildRulesReply(rules);
}

TEST(CurrentPlayersWindowTest, ChallengeThenReplyGivesTheLinesOfTheAskedServerOnly) {
  PlayersWindowState state;
  ASSERT_TRUE(state.RequestPlayers(kAsked));
  EXPECT_EQ(state.CurrentRequest(), "\xFF\xFF\xFF\xFFU\xFF\xFF\xFF\xFF"s);
  state.SetAsked(kAsked);

  // A stranger's challenge and reply change nothing.
  const std::string reply = fake::BuildPlayersReply({{0, "Ann", 300, 1.0f}, {0, "Bob", -1, 2.0f}});
  EXPECT_FALSE(state.ReceiveCurrent(fake::BuildChallengeReply(9), "10.0.0.6:27015").sendAgain);
  EXPECT_TRUE(state.ReceiveCurrent(reply, "10.0.0.5:27016").added.empty());

  const auto challenged = state.ReceiveCurrent(fake::BuildChallengeReply(0x11223344u), kAsked);
  ASSERT_TRUE(challenged.sendAgain);
  EXPECT_EQ(*challenged.sendAgain, "\xFF\xFF\xFF\xFFU\x44\x33\x22\x11"s);

  EXPECT_EQ(state.ReceiveCurrent(reply, kAsked).added, (Lines{"[44] - Ann", "[255] - Bob"}));
  EXPECT_EQ(state.Lines(), (Lines{"[44] - Ann", "[255] - Bob"}));
  // A second copy adds nothing; a new request starts a new exchange without the challenge.
  EXPECT_TRUE(state.ReceiveCurrent(reply, kAsked).added.empty());
  ASSERT_TRUE(state.RequestPlayers(std::string(state.CurrentAddress())));
  EXPECT_TRUE(state.Lines().empty());
  EXPECT_EQ(state.CurrentRequest(), "\xFF\xFF\xFF\xFFU\xFF\xFF\xFF\xFF"s);
  // Until SetAsked names the server of the new request, nothing is taken.
  EXPECT_TRUE(state.ReceiveCurrent(reply, kAsked).added.empty());
}

TEST(CurrentPlayersWindowTest, ASplitPlayersReplyIsJoinedAndAnEndlessChallengerBounded) {
  std::vector<fake::Player> players;
  for (int i = 0; i < 60; ++i) players.push_back({0, "player_" + std::to_string(i), i, 1.0f});
  const auto parts = fake::SplitReplyBySize(fake::BuildPlayersReply(players), 4, 300, false);
  ASSERT_GE(parts.size(), 3u);
  PlayersWindowState state;
  state.RequestPlayers(kAsked);
  state.SetAsked(kAsked);
  for (std::size_t i = 0; i + 1 < parts.size(); ++i)
    EXPECT_TRUE(state.ReceiveCurrent(parts[i], kAsked).added.empty());
  const Lines added = state.ReceiveCurrent(parts.back(), kAsked).added;
  ASSERT_EQ(added.size(), 60u);
  EXPECT_EQ(added.front(), "[0] - player_0");
  EXPECT_EQ(added.back(), "[59] - player_59");

  PlayersWindowState endless;
  endless.RequestPlayers(kAsked);
  endless.SetAsked(kAsked);
  int resent = 0;
  for (std::uint32_t c = 1; c <= 10; ++c)
    if (endless.ReceiveCurrent(fake::BuildChallengeReply(c), kAsked).sendAgain) ++resent;
  EXPECT_EQ(resent, PlayersWindowState::kMaxChallengeRounds);
}

TEST(CurrentRulesWindowTest, ACompressedSplitReplyShowsEveryRuleInOrderOnceComplete) {
  const std::string reply = ManyRules(400);
  const auto parts = fake::SplitReplyBySize(reply, 0x21, 100, true);
  ASSERT_GE(parts.size(), 2u);
  RulesCollector rules;
  ASSERT_TRUE(rules.RequestRules(kAsked));
  EXPECT_EQ(rules.CurrentRequest(), "\xFF\xFF\xFF\xFFV\xFF\xFF\xFF\xFF"s);
  rules.SetAsked(kAsked);
  const auto challenged = rules.ReceiveCurrent(fake::BuildChallengeReply(0x0A0B0C0Du), kAsked);
  ASSERT_TRUE(challenged.sendAgain);
  EXPECT_EQ(*challenged.sendAgain, "\xFF\xFF\xFF\xFFV\x0D\x0C\x0B\x0A"s);

  // A stranger's parts of the same id are not mixed in.
  EXPECT_TRUE(rules.ReceiveCurrent(parts[0], "10.0.0.9:27015").added.empty());
  for (std::size_t i = parts.size(); i-- > 1;)
    EXPECT_TRUE(rules.ReceiveCurrent(parts[i], kAsked).added.empty());
  EXPECT_TRUE(rules.Lines().empty());
  const Lines added = rules.ReceiveCurrent(parts[0], kAsked).added;
  ASSERT_EQ(added.size(), 400u);
  EXPECT_EQ(added[0], "sv_rule0 - 0");
  EXPECT_EQ(added[399], "sv_rule399 - 399");
  EXPECT_EQ(rules.Lines(), added);
}

TEST(CurrentRulesWindowTest, TheOlderSplitLayoutAndAOneDatagramReplyAreShownToo) {
  const std::string reply = ManyRules(50);
  RulesCollector rules;
  rules.RequestRules(kAsked);
  rules.SetAsked(kAsked);
  const auto parts = fake::SplitReply(reply, 77, 3);
  EXPECT_TRUE(rules.ReceiveCurrent(parts[1], kAsked).added.empty());
  EXPECT_TRUE(rules.ReceiveCurrent(parts[2], kAsked).added.empty());
  EXPECT_EQ(rules.ReceiveCurrent(parts[0], kAsked).added.size(), 50u);

  RulesCollector whole;
  whole.RequestRules(kAsked);
  whole.SetAsked(kAsked);
  EXPECT_EQ(whole.ReceiveCurrent(fake::BuildRulesReply({{"a", "1"}, {"", "x"}, {"b", "2"}}), kAsked).added,
            (Lines{"a - 1", "b - 2"}));
}

TEST(CurrentRulesWindowTest, ARefusedOrUnfinishedReplyShowsNothing) {
  const std::string reply = ManyRules(300);
  std::vector<std::string> parts = fake::SplitReplyBySize(reply, 0x42, 100, true);
  ASSERT_GE(parts.size(), 2u);
  parts[0][16] = static_cast<char>(parts[0][16] ^ 0x01);  // the CRC32
  RulesCollector rules;
  rules.RequestRules(kAsked);
  rules.SetAsked(kAsked);
  for (const std::string& part : parts) EXPECT_TRUE(rules.ReceiveCurrent(part, kAsked).added.empty());
  EXPECT_TRUE(rules.Lines().empty());

  // All parts but one: nothing, and the parts held stay within the cap.
  const auto good = fake::SplitReplyBySize(reply, 0x43, 100, true);
  RulesCollector unfinished;
  unfinished.RequestRules(kAsked);
  unfinished.SetAsked(kAsked);
  ASSERT_GE(good.size(), 2u);
  for (std::size_t i = 1; i < good.size(); ++i) unfinished.ReceiveCurrent(good[i], kAsked);
  EXPECT_TRUE(unfinished.Lines().empty());
  EXPECT_LE(unfinished.Exchange().PendingBytes(), SplitReplyAssembler::kMaxReplyBytes);
}

}  // namespace
}  // namespace vantrix

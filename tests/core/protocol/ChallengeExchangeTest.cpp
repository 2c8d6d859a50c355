#include "core/protocol/ChallengeExchange.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/protocol/CurrentRequests.h"
#include "core/protocol/InfoRequest.h"
#include "fake/FakeReplies.h"

namespace vantrix {
namespace {

using namespace std::string_literals;
using Step = ChallengeExchange::Step;

std::string RulesOf(int count) {
  std::vector<fake::Rule> rules;
  for (int i = 0; i < count; ++i) rules.push_back({"rule_" + std::to_string(i), std::to_string(i * 3)});
  return fake::BuildRulesReply(rules);
}

TEST(ChallengeExchangeTest, RequestsCarryTheLatestChallengeOnceOneCame) {
  ChallengeExchange info(ExchangeKind::kInfo, 2);
  EXPECT_EQ(info.Request(), "\xFF\xFF\xFF\xFFTSource Engine Query\0"s);
  EXPECT_EQ(info.Request().size(), 25u);
  ASSERT_EQ(info.Take(fake::BuildChallengeReply(0x04030201u)).step, Step::kSendAgain);
  EXPECT_EQ(info.Request(), "\xFF\xFF\xFF\xFFTSource Engine Query\0\x01\x02\x03\x04"s);

  ChallengeExchange players(ExchangeKind::kPlayers, 2);
  EXPECT_EQ(players.Request(), "\xFF\xFF\xFF\xFFU\xFF\xFF\xFF\xFF"s);
  ASSERT_EQ(players.Take(fake::BuildChallengeReply(0xA1B2C3D4u)).step, Step::kSendAgain);
  EXPECT_EQ(players.Request(), "\xFF\xFF\xFF\xFFU\xD4\xC3\xB2\xA1"s);

  ChallengeExchange rules(ExchangeKind::kRules, 2);
  EXPECT_EQ(rules.Request(), "\xFF\xFF\xFF\xFFV\xFF\xFF\xFF\xFF"s);

  // Another server is asked afresh; the next request to the same server keeps it.
  players.Start(ExchangeKind::kRules);
  EXPECT_EQ(players.Request(), "\xFF\xFF\xFF\xFFV\xD4\xC3\xB2\xA1"s);
  players.Reset(ExchangeKind::kRules);
  EXPECT_EQ(players.Request(), "\xFF\xFF\xFF\xFFV\xFF\xFF\xFF\xFF"s);
}

TEST(ChallengeExchangeTest, ChallengeRoundsAreBounded) {
  ChallengeExchange exchange(ExchangeKind::kPlayers, 2);
  EXPECT_EQ(exchange.Take(fake::BuildChallengeReply(1)).step, Step::kSendAgain);
  EXPECT_EQ(exchange.Take(fake::BuildChallengeReply(2)).step, Step::kSendAgain);
  EXPECT_EQ(exchange.Take(fake::BuildChallengeReply(3)).step, Step::kTooManyChallenges);
  EXPECT_EQ(exchange.Take(fake::BuildChallengeReply(4)).step, Step::kTooManyChallenges);
  EXPECT_EQ(exchange.ChallengeRounds(), 2);
  EXPECT_EQ(exchange.Challenge(), 2u);  // the refused ones are not taken
  // A cut-short challenge is nobody's.
  EXPECT_EQ(ChallengeExchange(ExchangeKind::kRules, 2).Take("\xFF\xFF\xFF\xFF\x41\x01\x02"s).step,
            Step::kIgnored);
}

TEST(ChallengeExchangeTest, TheOriginalRequestIgnoresChallengesAndTakesEitherInfoReply) {
  ChallengeExchange details(ExchangeKind::kOriginalInfo, 2);
  EXPECT_EQ(details.Request(), kInfoRequest);
  EXPECT_EQ(details.Take(fake::BuildChallengeReply(7)).step, Step::kIgnored);
  EXPECT_EQ(details.Request(), kInfoRequest);
  fake::CurrentInfoFields fields;
  fields.name = "Alpha";
  EXPECT_EQ(details.Take(fake::BuildCurrentInfoReply(fields)).step, Step::kReply);
  ChallengeExchange info(ExchangeKind::kInfo, 2);
  EXPECT_EQ(info.Take(fake::BuildInfoReply({})).step, Step::kReply);
}

TEST(ChallengeExchangeTest, OtherRepliesAreIgnoredAndTheReplyIsTakenOnce) {
  ChallengeExchange exchange(ExchangeKind::kPlayers, 2);
  EXPECT_EQ(exchange.Take(RulesOf(2)).step, Step::kIgnored);
  EXPECT_EQ(exchange.Take("\xFF\xFF\xFF"s).step, Step::kIgnored);
  const std::string players = fake::BuildPlayersReply({{0, "Ann", 5, 1.0f}});
  const ChallengeExchange::Outcome outcome = exchange.Take(players);
  EXPECT_EQ(outcome.step, Step::kReply);
  EXPECT_EQ(outcome.reply, players);
  EXPECT_TRUE(exchange.Finished());
  EXPECT_EQ(exchange.Take(players).step, Step::kIgnored);
  EXPECT_EQ(exchange.Take(fake::BuildChallengeReply(1)).step, Step::kIgnored);
}

// The parts go through the shared assembler: one compressed reply, backwards, with a copy.
TEST(ChallengeExchangeTest, ASplitReplyComesOutWholeOnceItsLastPartCame) {
  const std::string reply = RulesOf(300);
  const std::vector<std::string> parts = fake::SplitReplyBySize(reply, 9, 100, true);
  ASSERT_GE(parts.size(), 2u);
  ChallengeExchange exchange(ExchangeKind::kRules, 2);
  for (std::size_t i = parts.size(); i-- > 1;) {
    EXPECT_EQ(exchange.Take(parts[i]).step, Step::kIncomplete);
    EXPECT_EQ(exchange.Take(parts[i]).step, Step::kIncomplete);
  }
  const ChallengeExchange::Outcome outcome = exchange.Take(parts[0]);
  ASSERT_EQ(outcome.step, Step::kReply);
  EXPECT_EQ(outcome.reply, reply);
  EXPECT_EQ(exchange.PendingBytes(), 0u);
}

}  // namespace
}  // namespace vantrix

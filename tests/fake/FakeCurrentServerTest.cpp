#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/protocol/ChallengeExchange.h"
#include "core/protocol/CurrentRequests.h"
#include "core/protocol/InfoRequest.h"
#include "core/protocol/RuleList.h"
#include "fake/FakeReplies.h"
#include "fake/FakeServerProfile.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

fake::ServerProfile TodaysServer(int extraRules = 0) {
  fake::ServerSetup setup;
  setup.count = 3;
  setup.silentCount = 1;
  setup.current = true;
  setup.extraRules = extraRules;
  return fake::MakeProfiles(setup)[0];
}

// Runs one exchange against the profile as the window does; gives the reply's datagrams'
// count and the whole reply (empty when none came).
std::string Exchange(const fake::ServerProfile& profile, ExchangeKind kind, const fake::AnswerStyle& style,
                     std::uint32_t challenge, int& datagrams) {
  ChallengeExchange exchange(kind, 2);
  datagrams = 0;
  for (int round = 0; round < 4; ++round) {
    for (const std::string& datagram :
         fake::AnswerRequest(profile, exchange.Request(), style, 5, challenge)) {
      ++datagrams;
      ChallengeExchange::Outcome outcome = exchange.Take(datagram);
      if (outcome.step == ChallengeExchange::Step::kReply) return outcome.reply;
    }
  }
  return {};
}

TEST(FakeCurrentServerTest, ServersOfTodayIgnoreTheOriginalRequestsAndChallengeEveryNewerOne) {
  const fake::ServerProfile profile = TodaysServer();
  EXPECT_TRUE(profile.ignoresOriginal);
  EXPECT_TRUE(profile.infoChallenge);
  const fake::AnswerStyle style;
  const std::uint32_t challenge = fake::ChallengeFor(profile, 0x7F00000100001234ull);
  for (const std::string& request :
       {std::string(kInfoRequest), "\xFF\xFF\xFF\xFFplayers"s, "\xFF\xFF\xFF\xFFVSource Engine Query\0"s})
    EXPECT_TRUE(fake::AnswerRequest(profile, request, style, 1, challenge).empty());
  for (const std::string& request :
       {CurrentInfoRequest(), PlayersRequest(kNoChallenge), RulesRequest(12345)}) {
    const auto answer = fake::AnswerRequest(profile, request, style, 1, challenge);
    ASSERT_EQ(answer.size(), 1u);
    EXPECT_EQ(DecodeChallengeReply(answer[0]), challenge);
  }
  // Each client address gets its own challenge.
  EXPECT_NE(fake::ChallengeFor(profile, 0x7F00000100001235ull), challenge);

  int datagrams = 0;
  const std::string info = Exchange(profile, ExchangeKind::kInfo, style, challenge, datagrams);
  EXPECT_EQ(ReplyType(info), 'I');
  EXPECT_EQ(datagrams, 2);
  // Without the switch the original requests are answered as before.
  fake::ServerSetup setup;
  setup.count = 1;
  EXPECT_EQ(fake::AnswerRequest(fake::MakeProfiles(setup)[0], kInfoRequest, style, 1, challenge).size(), 1u);
}

TEST(FakeCurrentServerTest, LongRulesRepliesComeSplitInEitherLayoutAndCompressedWhenAsked) {
  const fake::ServerProfile profile = TodaysServer(100);
  const std::uint32_t challenge = fake::ChallengeFor(profile, 42);
  struct Case {
    const char* name;
    fake::AnswerStyle style;
  };
  fake::AnswerStyle newer;
  newer.splitSize = 400;
  fake::AnswerStyle compressed = newer;
  compressed.compress = true;
  fake::AnswerStyle older = newer;
  older.oldSplitHeader = true;
  for (const Case& c : {Case{"newer", newer}, Case{"compressed", compressed}, Case{"older", older}}) {
    SCOPED_TRACE(c.name);
    int datagrams = 0;
    const std::string reply = Exchange(profile, ExchangeKind::kRules, c.style, challenge, datagrams);
    const auto rules = DecodeRuleList(reply);
    ASSERT_TRUE(rules);
    EXPECT_EQ(rules->size(), profile.rules.size());
    EXPECT_GT(datagrams, 2);  // the challenge, then a reply in parts
  }
}

}  // namespace
}  // namespace vantrix

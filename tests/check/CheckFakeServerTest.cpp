#include <gtest/gtest.h>

#include "core/protocol/CurrentInfoReply.h"
#include "core/protocol/CurrentRequests.h"
#include "core/protocol/SplitReplyAssembler.h"
#include "fake/FakeServerProfile.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

fake::ServerSetup ServersOf(int count) {
  fake::ServerSetup setup;
  setup.count = count;
  return setup;
}

TEST(FakeNewerRequests, ChallengesAreAskedForAndHonoured) {
  fake::ServerSetup setup = ServersOf(10);
  setup.challengeCount = 5;
  const auto profiles = fake::MakeProfiles(setup);
  int wanting = 0;
  for (const auto& profile : profiles) {
    const std::uint32_t challenge = fake::ChallengeFor(profile, 42);
    EXPECT_NE(challenge, kNoChallenge);
    EXPECT_NE(challenge, fake::ChallengeFor(profile, 43));
    const fake::AnswerStyle style;
    auto first = fake::AnswerRequest(profile, CurrentInfoRequest(), style, 1, challenge);
    ASSERT_EQ(first.size(), 1u);
    if (profile.infoChallenge) {
      ++wanting;
      EXPECT_EQ(DecodeChallengeReply(first[0]), challenge);
    } else {
      EXPECT_EQ(ReplyType(first[0]), 'I');
    }
    auto info = fake::AnswerRequest(profile, CurrentInfoRequest(challenge), style, 2, challenge);
    ASSERT_EQ(info.size(), 1u);
    auto decoded = DecodeCurrentInfoReply(info[0]);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name, profile.info.name);
    EXPECT_EQ(decoded->players, profile.info.players);
    // Players and rules always want the challenge.
    for (auto request : {PlayersRequest(kNoChallenge), RulesRequest(challenge ^ 1u)})
      EXPECT_EQ(DecodeChallengeReply(fake::AnswerRequest(profile, request, style, 3, challenge).at(0)),
                challenge);
    EXPECT_EQ(ReplyType(fake::AnswerRequest(profile, PlayersRequest(challenge), style, 4, challenge).at(0)),
              'D');
    EXPECT_EQ(ReplyType(fake::AnswerRequest(profile, RulesRequest(challenge), style, 5, challenge).at(0)),
              'E');
    EXPECT_EQ(
        DecodeChallengeReply(fake::AnswerRequest(profile, "\xFF\xFF\xFF\xFFW", style, 6, challenge).at(0)),
        challenge);
    // The window's own requests are answered as before.
    EXPECT_EQ(ReplyType(fake::AnswerRequest(profile,
                                            "\xFF\xFF\xFF\xFF"
                                            "details"s,
                                            style, 7, challenge)
                            .at(0)),
              'm');
  }
  EXPECT_EQ(wanting, 5);
}

TEST(FakeNewerRequests, EndlessChallengesNeverRepeatAndDetailsForInfo) {
  fake::ServerSetup setup = ServersOf(4);
  setup.endlessChallengeCount = 4;
  setup.detailsForInfoCount = 4;
  const auto profiles = fake::MakeProfiles(setup);
  const fake::AnswerStyle style;
  for (const auto& profile : profiles) {
    ASSERT_TRUE(profile.endlessChallenge);
    std::uint32_t previous = kNoChallenge;
    for (std::uint32_t n = 1; n <= 6; ++n) {
      auto reply = fake::AnswerRequest(profile, CurrentInfoRequest(previous), style, n, 99);
      auto challenge = DecodeChallengeReply(reply.at(0));
      ASSERT_TRUE(challenge);
      EXPECT_NE(*challenge, previous);
      previous = *challenge;
    }
  }
  setup.endlessChallengeCount = 0;
  for (const auto& profile : fake::MakeProfiles(setup))
    EXPECT_EQ(ReplyType(fake::AnswerRequest(profile, CurrentInfoRequest(), style, 1, 5).at(0)), 'm');
}

TEST(FakeNewerRequests, LongRepliesAreSplitInTheChosenWay) {
  fake::ServerSetup setup = ServersOf(1);
  setup.extraRules = 100;
  const auto profile = fake::MakeProfiles(setup)[0];
  const std::uint32_t challenge = fake::ChallengeFor(profile, 1);
  const std::string whole = fake::BuildRulesReply(profile.rules);
  for (int way = 0; way < 3; ++way) {
    fake::AnswerStyle style;
    style.splitSize = 500;
    style.compress = way == 1;
    style.oldSplitHeader = way == 2;
    auto parts = fake::AnswerRequest(profile, RulesRequest(challenge), style, 0x80000007u, challenge);
    ASSERT_GE(parts.size(), way == 1 ? 1u : 2u) << way;  // compressed, it may fit in one part
    SplitReplyAssembler assembler;
    SplitReplyAssembler::Outcome outcome;
    for (const auto& part : parts) {
      EXPECT_TRUE(SplitReplyAssembler::IsSplitPart(part));
      if (way == 0) {
        EXPECT_LE(part.size(), SplitReplyAssembler::kNewHeaderSize + 500);
      }
      outcome = assembler.Take(part);
    }
    ASSERT_EQ(outcome.status, SplitReplyAssembler::Status::kComplete) << way << outcome.problem;
    EXPECT_EQ(outcome.reply, whole);
  }
  fake::AnswerStyle roomy;
  roomy.splitSize = whole.size();
  EXPECT_EQ(fake::AnswerRequest(profile, RulesRequest(challenge), roomy, 1, challenge),
            std::vector<std::string>{whole});
}

TEST(FakeNewerRequests, ExtraDataCombinationsAllAppearAcrossTheServers) {
  const auto profiles = fake::MakeProfiles(ServersOf(66));
  std::vector<bool> seen(32, false);
  int withoutFlags = 0;
  for (const auto& profile : profiles) {
    auto reply = DecodeCurrentInfoReply(fake::BuildCurrentInfoReply(profile.currentInfo));
    ASSERT_TRUE(reply);
    EXPECT_TRUE(reply->extraComplete);
    if (!profile.currentInfo.hasExtraFlags) {
      ++withoutFlags;
      continue;
    }
    const std::uint8_t f = reply->extraFlags;
    const int combination = ((f & kExtraPort) ? 1 : 0) | ((f & kExtraIdentity) ? 2 : 0) |
                            ((f & kExtraSpectator) ? 4 : 0) | ((f & kExtraKeywords) ? 8 : 0) |
                            ((f & kExtraGameId) ? 16 : 0);
    seen[static_cast<std::size_t>(combination)] = true;
    if (reply->port) {
      EXPECT_EQ(*reply->port, profile.port);
    }
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 32);
  EXPECT_EQ(withoutFlags, 2);
}

}  // namespace
}  // namespace vantrix

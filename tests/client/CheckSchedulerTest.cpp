#include "client/CheckScheduler.h"

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "client/CheckTestNetwork.h"
#include "core/protocol/CurrentRequests.h"
#include "core/protocol/InfoRequest.h"
#include "core/protocol/SplitReplyAssembler.h"
#include "fake/FakeServerProfile.h"

namespace vantrix {
namespace {

using test::CheckTestNetwork;
using test::EndpointOf;
using test::StillClock;

std::vector<fake::ServerProfile> Profiles(int count, int silent = 0) {
  fake::ServerSetup setup;
  setup.count = count;
  setup.silentCount = silent;
  return fake::MakeProfiles(setup);
}

std::vector<IPv4Endpoint> Endpoints(const std::vector<fake::ServerProfile>& profiles) {
  std::vector<IPv4Endpoint> endpoints;
  for (const auto& profile : profiles) endpoints.push_back(EndpointOf(profile));
  return endpoints;
}

CheckPlan Plan(QueryProtocol query, int retries = 1) {
  CheckPlan plan;
  plan.protocol = query;
  plan.retries = retries;
  return plan;
}

TEST(CheckScheduler, AnsweringAndSilentServersInBothQueries) {
  for (QueryProtocol query : {QueryProtocol::kOriginal, QueryProtocol::kCurrent}) {
    for (int retries : {0, 1, 3}) {
      auto profiles = Profiles(20, 4);
      StillClock clock;
      CheckTestNetwork network(clock, profiles);
      CheckScheduler scheduler(Endpoints(profiles), Plan(query, retries), network, clock);
      const std::uint64_t start = clock.now;
      ASSERT_TRUE(network.Run(scheduler));
      EXPECT_EQ(scheduler.Answered(), 16u);
      EXPECT_EQ(scheduler.Silent(), 4u);
      EXPECT_EQ(scheduler.Errors(), 0u);
      for (std::size_t i = 0; i < profiles.size(); ++i) {
        const CheckResult& result = scheduler.ResultFor(i);
        const auto& profile = profiles[i];
        if (profile.behaviour == fake::Behaviour::kSilent) {
          EXPECT_EQ(result.status, CheckStatus::kSilent);
          EXPECT_FALSE(result.info);
          EXPECT_EQ(network.SentTo(EndpointOf(profile)), static_cast<std::size_t>(1 + retries));
          continue;
        }
        ASSERT_EQ(result.status, CheckStatus::kAnswered) << i;
        ASSERT_TRUE(result.info);
        EXPECT_EQ(result.info->name, profile.info.name);
        EXPECT_EQ(result.info->map, profile.info.map);
        EXPECT_EQ(result.info->players, profile.info.players);
        EXPECT_EQ(result.info->maxPlayers, profile.info.maxPlayers);
        EXPECT_EQ(result.pingUs, network.latencyUs);
        EXPECT_EQ(network.SentTo(EndpointOf(profile)), 1u);
        // The 'I' reply carries bots, the 'm' reply does not.
        EXPECT_EQ(result.info->bots.has_value(), query == QueryProtocol::kCurrent);
      }
      // Every attempt of a silent server waits its whole time-out, one after the other.
      EXPECT_EQ(clock.now - start, (1 + retries) * 400'000u);
      for (const auto& sent : network.sent)
        EXPECT_EQ(sent.datagram,
                  query == QueryProtocol::kOriginal ? std::string(kInfoRequest) : CurrentInfoRequest());
    }
  }
}

TEST(CheckScheduler, ChallengeIsSentBackAndPlayersAndRulesFollow) {
  fake::ServerSetup setup;
  setup.count = 6;
  setup.challengeCount = 6;
  setup.extraRules = 40;
  auto profiles = fake::MakeProfiles(setup);
  StillClock clock;
  CheckTestNetwork network(clock, profiles);
  network.style.splitSize = 200;
  network.style.compress = true;
  CheckPlan plan = Plan(QueryProtocol::kCurrent);
  plan.players = true;
  plan.rules = true;
  CheckScheduler scheduler(Endpoints(profiles), plan, network, clock);
  ASSERT_TRUE(network.Run(scheduler));
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    const CheckResult& result = scheduler.ResultFor(i);
    ASSERT_EQ(result.status, CheckStatus::kAnswered) << result.error;
    ASSERT_TRUE(result.players);
    ASSERT_EQ(result.players->size(), profiles[i].players.size());
    for (std::size_t p = 0; p < result.players->size(); ++p) {
      EXPECT_EQ((*result.players)[p].name, profiles[i].players[p].name);
      EXPECT_EQ((*result.players)[p].score, profiles[i].players[p].score);
      EXPECT_EQ((*result.players)[p].seconds, profiles[i].players[p].time);
    }
    ASSERT_TRUE(result.rules);
    ASSERT_EQ(result.rules->size(), profiles[i].rules.size());
    EXPECT_EQ(result.rules->back().name, profiles[i].rules.back().name);
    EXPECT_EQ(result.rules->back().value, profiles[i].rules.back().value);
    // 'T', 'T' + challenge, then 'U' and 'V' with the challenge already known.
    const std::uint32_t challenge = fake::ChallengeFor(profiles[i], CheckTestNetwork::kClientKey);
    std::vector<std::string> toServer;
    for (const auto& sent : network.sent)
      if (sent.to == EndpointOf(profiles[i])) toServer.push_back(sent.datagram);
    ASSERT_EQ(toServer.size(), 4u);
    EXPECT_EQ(toServer[0], CurrentInfoRequest());
    EXPECT_EQ(toServer[1], CurrentInfoRequest(challenge));
    EXPECT_EQ(toServer[2], PlayersRequest(challenge));
    EXPECT_EQ(toServer[3], RulesRequest(challenge));
  }
}

// Players and rules are asked in the query's protocol: the original requests know no challenge.
TEST(CheckScheduler, PlayersAndRulesAskInTheQueryProtocol) {
  auto profiles = Profiles(3);
  StillClock clock;
  CheckTestNetwork network(clock, profiles);
  CheckPlan plan = Plan(QueryProtocol::kOriginal);
  plan.players = true;
  plan.rules = true;
  CheckScheduler scheduler(Endpoints(profiles), plan, network, clock);
  ASSERT_TRUE(network.Run(scheduler));
  for (std::size_t i = 0; i < profiles.size(); ++i) {
    EXPECT_EQ(scheduler.ResultFor(i).status, CheckStatus::kAnswered) << scheduler.ResultFor(i).error;
    EXPECT_EQ(scheduler.ResultFor(i).players->size(), profiles[i].players.size());
    EXPECT_EQ(scheduler.ResultFor(i).rules->size(), profiles[i].rules.size());
    std::vector<std::string> toServer;
    for (const auto& sent : network.sent)
      if (sent.to == EndpointOf(profiles[i])) toServer.push_back(sent.datagram);
    EXPECT_EQ(toServer,
              (std::vector<std::string>{std::string(kInfoRequest), std::string(kOriginalPlayersRequest),
                                        std::string(kOriginalRulesRequest)}));
  }
}

TEST(CheckScheduler, AServerThatKeepsAnsweringWithAChallengeIsReported) {
  for (int rounds : {3, 2}) {
    fake::ServerSetup setup;
    setup.count = 2;
    setup.endlessChallengeCount = 1;
    auto profiles = fake::MakeProfiles(setup);
    const std::size_t endless = profiles[0].endlessChallenge ? 0 : 1;
    ASSERT_TRUE(profiles[endless].endlessChallenge);
    StillClock clock;
    CheckTestNetwork network(clock, profiles);
    CheckPlan plan = Plan(QueryProtocol::kCurrent, 5);
    plan.maxChallengeRounds = rounds;
    CheckScheduler scheduler(Endpoints(profiles), plan, network, clock);
    ASSERT_TRUE(network.Run(scheduler));
    const CheckResult& result = scheduler.ResultFor(endless);
    EXPECT_EQ(result.status, CheckStatus::kError);
    EXPECT_EQ(result.error, "info: the server keeps answering with a challenge");
    // The first request and one more per challenge, never more.
    EXPECT_EQ(network.SentTo(EndpointOf(profiles[endless])), 1 + static_cast<std::size_t>(rounds));
    // It ended at once, without waiting for a time-out.
    EXPECT_LT(clock.now, 1'000'000u + 400'000u);
    EXPECT_FALSE(result.info);
    EXPECT_EQ(scheduler.ResultFor(1 - endless).status, CheckStatus::kAnswered);
  }
}

TEST(CheckScheduler, AMissingSplitPartTimesOutAndIsReported) {
  fake::ServerSetup setup;
  setup.count = 1;
  setup.extraRules = 30;
  auto profiles = fake::MakeProfiles(setup);
  StillClock clock;
  CheckTestNetwork network(clock, profiles);
  network.style.splitSize = 150;
  int answers = 0;
  network.mangle = [&](const IPv4Endpoint&, std::vector<std::string>& datagrams) {
    if (datagrams.size() > 2) {
      ++answers;
      datagrams.erase(datagrams.begin() + 1);  // every time the same part is lost
    }
  };
  CheckPlan plan = Plan(QueryProtocol::kCurrent, 2);
  plan.rules = true;
  CheckScheduler scheduler(Endpoints(profiles), plan, network, clock);
  const std::uint64_t start = clock.now;
  ASSERT_TRUE(network.Run(scheduler));
  const CheckResult& result = scheduler.ResultFor(0);
  EXPECT_EQ(result.status, CheckStatus::kError);
  EXPECT_EQ(result.error, "rules: split reply incomplete");
  ASSERT_TRUE(result.info);
  EXPECT_EQ(answers, 3);  // the first attempt and two retries
  EXPECT_GE(clock.now - start, 3 * 400'000u);
}

TEST(CheckScheduler, SplitPartsOutOfOrderAndDuplicatedStillAssemble) {
  fake::ServerSetup setup;
  setup.count = 3;
  setup.extraRules = 50;
  auto profiles = fake::MakeProfiles(setup);
  for (bool compress : {false, true}) {
    StillClock clock;
    CheckTestNetwork network(clock, profiles);
    network.style.splitSize = 120;
    network.style.compress = compress;
    network.mangle = [](const IPv4Endpoint&, std::vector<std::string>& datagrams) {
      if (datagrams.size() < 2) return;
      std::reverse(datagrams.begin(), datagrams.end());
      datagrams.push_back(datagrams[datagrams.size() / 2]);
    };
    CheckPlan plan = Plan(QueryProtocol::kCurrent, 0);
    plan.rules = true;
    CheckScheduler scheduler(Endpoints(profiles), plan, network, clock);
    ASSERT_TRUE(network.Run(scheduler));
    for (std::size_t i = 0; i < profiles.size(); ++i) {
      const CheckResult& result = scheduler.ResultFor(i);
      ASSERT_EQ(result.status, CheckStatus::kAnswered) << result.error;
      ASSERT_EQ(result.rules->size(), profiles[i].rules.size());
      for (std::size_t r = 0; r < result.rules->size(); ++r) {
        EXPECT_EQ((*result.rules)[r].name, profiles[i].rules[r].name);
        EXPECT_EQ((*result.rules)[r].value, profiles[i].rules[r].value);
      }
    }
  }
}

// A reply that cannot be put together ends the attempt, not the stage: the retries left
// ask again, and only when every answer was refused is the server reported.
TEST(CheckScheduler, ACorruptCompressedReplyUsesTheRetriesLeft) {
  fake::ServerSetup setup;
  setup.count = 1;
  setup.extraRules = 30;
  auto profiles = fake::MakeProfiles(setup);
  for (int corrupt : {1, 100}) {
    StillClock clock;
    CheckTestNetwork network(clock, profiles);
    network.style.splitSize = 100;
    network.style.compress = true;
    int answers = 0;
    network.mangle = [&](const IPv4Endpoint&, std::vector<std::string>& datagrams) {
      if (datagrams.size() < 2 || answers++ >= corrupt) return;
      datagrams[0][SplitReplyAssembler::kNewHeaderSize + 4] ^= 0x01;  // the CRC's first byte
    };
    CheckPlan plan = Plan(QueryProtocol::kCurrent, 3);
    plan.rules = true;
    CheckScheduler scheduler(Endpoints(profiles), plan, network, clock);
    ASSERT_TRUE(network.Run(scheduler));
    const CheckResult& result = scheduler.ResultFor(0);
    if (corrupt == 1) {
      EXPECT_EQ(result.status, CheckStatus::kAnswered) << result.error;
      EXPECT_EQ(result.rules->size(), profiles[0].rules.size());
      EXPECT_EQ(answers, 2);
    } else {
      EXPECT_EQ(result.status, CheckStatus::kError);
      EXPECT_EQ(result.error, "rules: split reply: CRC mismatch");
      EXPECT_FALSE(result.rules);
      EXPECT_EQ(answers, 4);  // the first attempt and three retries
    }
  }
}

TEST(CheckScheduler, NeverMoreThanMaxParallelInFlight) {
  for (int maxParallel : {1, 3, 7, 64}) {
    auto profiles = Profiles(50, 10);
    StillClock clock;
    CheckTestNetwork network(clock, profiles);
    CheckPlan plan = Plan(QueryProtocol::kOriginal, 1);
    plan.maxParallel = maxParallel;
    CheckScheduler scheduler(Endpoints(profiles), plan, network, clock);
    // Follow the run step by step: a server is in flight from its first send to its end.
    std::set<std::uint16_t> started;
    std::size_t seen = 0;
    for (int step = 0; step < 100000 && !scheduler.Done(); ++step) {
      ASSERT_TRUE(network.Run(scheduler, 1) || !scheduler.Done());
      for (; seen < network.sent.size(); ++seen) started.insert(network.sent[seen].to.port);
      EXPECT_LE(started.size() - scheduler.Finished(), static_cast<std::size_t>(maxParallel));
    }
    EXPECT_TRUE(scheduler.Done());
    EXPECT_EQ(scheduler.Answered(), 40u);
  }
}

TEST(CheckScheduler, SendIntervalSpacesEverySend) {
  auto profiles = Profiles(10, 2);
  StillClock clock;
  CheckTestNetwork network(clock, profiles);
  CheckPlan plan = Plan(QueryProtocol::kOriginal, 1);
  plan.sendIntervalUs = 1500;
  CheckScheduler scheduler(Endpoints(profiles), plan, network, clock);
  ASSERT_TRUE(network.Run(scheduler));
  ASSERT_EQ(network.sent.size(), 12u);  // ten first attempts, two retries
  for (std::size_t i = 1; i < network.sent.size(); ++i)
    EXPECT_GE(network.sent[i].atUs - network.sent[i - 1].atUs, 1500u);
}

TEST(CheckScheduler, BlockedSendsAreRetriedAndFailedSendsReported) {
  auto profiles = Profiles(5);
  StillClock clock;
  CheckTestNetwork network(clock, profiles);
  network.wouldBlockCount = 3;
  network.failPort = profiles[2].port;
  CheckScheduler scheduler(Endpoints(profiles), Plan(QueryProtocol::kOriginal), network, clock);
  scheduler.Advance();
  EXPECT_TRUE(scheduler.Blocked());
  EXPECT_TRUE(network.sent.empty());
  ASSERT_TRUE(network.Run(scheduler));
  EXPECT_EQ(scheduler.Answered(), 4u);
  EXPECT_EQ(scheduler.ResultFor(2).status, CheckStatus::kError);
  EXPECT_EQ(scheduler.ResultFor(2).error, "send failed: Network is unreachable");
  EXPECT_EQ(network.SentTo(EndpointOf(profiles[0])), 1u);
}

TEST(CheckScheduler, SameEndpointTwiceIsCheckedOnceAndStraysAreIgnored) {
  auto profiles = Profiles(2);
  StillClock clock;
  CheckTestNetwork network(clock, profiles);
  std::vector<IPv4Endpoint> endpoints{EndpointOf(profiles[0]), EndpointOf(profiles[1]),
                                      EndpointOf(profiles[0])};
  CheckScheduler scheduler(endpoints, Plan(QueryProtocol::kOriginal), network, clock);
  EXPECT_EQ(scheduler.Servers(), 2u);
  scheduler.Receive({test::kLoopback, 9}, "\xFF\xFF\xFF\xFFmjunk", clock.now);  // nobody asked it
  scheduler.Receive(EndpointOf(profiles[0]), "\xFF\xFF\xFF\xFFm", clock.now);   // not sent to yet
  EXPECT_EQ(scheduler.Stray(), 2u);
  ASSERT_TRUE(network.Run(scheduler));
  EXPECT_EQ(network.sent.size(), 2u);
  EXPECT_EQ(scheduler.ResultFor(0), scheduler.ResultFor(2));
  EXPECT_EQ(scheduler.ResultFor(0).info->name, profiles[0].info.name);
}

TEST(CheckScheduler, MalformedAndLateRepliesAndARetryThatIsAnswered) {
  auto profiles = Profiles(2);
  StillClock clock;
  CheckTestNetwork network(clock, profiles);
  int calls = 0;
  network.mangle = [&](const IPv4Endpoint& server, std::vector<std::string>& datagrams) {
    if (server.port == profiles[0].port) datagrams = {"\xFF\xFF\xFF\xFFI\x11no-zero-bytes"};
    if (server.port == profiles[1].port && calls++ == 0) datagrams.clear();  // first attempt lost
  };
  CheckScheduler scheduler(Endpoints(profiles), Plan(QueryProtocol::kCurrent, 1), network, clock);
  ASSERT_TRUE(network.Run(scheduler));
  EXPECT_EQ(scheduler.ResultFor(0).status, CheckStatus::kError);
  EXPECT_EQ(scheduler.ResultFor(0).error, "info: malformed reply");
  EXPECT_EQ(scheduler.ResultFor(1).status, CheckStatus::kAnswered);
  // The ping is that of the attempt that was answered.
  EXPECT_EQ(scheduler.ResultFor(1).pingUs, network.latencyUs);
  // A datagram after the end changes nothing.
  const CheckResult before = scheduler.ResultFor(1);
  scheduler.Receive(EndpointOf(profiles[1]), fake::BuildCurrentInfoReply({}), clock.now);
  EXPECT_EQ(scheduler.ResultFor(1), before);
}

}  // namespace
}  // namespace vantrix

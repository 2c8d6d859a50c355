#include "fake/FakeReplies.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "core/protocol/ByteCursor.h"
#include "core/protocol/InfoRequest.h"
#include "core/protocol/OriginalInfoReply.h"
#include "fake/FakeServerProfile.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

TEST(FakeReplies, InfoReplyRoundTripsThroughTheDecoder) {
  fake::InfoFields f;
  f.address = "127.0.0.1:28000";
  f.name = "N";
  f.map = "M";
  f.players = 3;
  f.maxPlayers = 16;
  f.type = 'p';
  f.os = 'w';
  f.password = 0;
  const std::string bytes = fake::BuildInfoReply(f);
  EXPECT_EQ(bytes.substr(0, 5), "\xFF\xFF\xFF\xFFm");
  EXPECT_EQ(bytes.size(), 5 + 16 + 2 + 2 + 8 + 13 + 7u);
  auto reply = DecodeOriginalInfoReply(bytes);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->serverName, "N");
  EXPECT_EQ(reply->map, "M");
  EXPECT_EQ(reply->players, 3);
  EXPECT_EQ(reply->maxPlayers, 16);
  EXPECT_EQ(reply->typeLetter, 'P');
  EXPECT_EQ(reply->osLetter, 'W');
  EXPECT_EQ(reply->password, false);
}

TEST(FakeReplies, PlayersReplyHasTheRecordLayout) {
  const std::string bytes = fake::BuildPlayersReply({{0, "ab", 5, 123.456f}, {0, "c", 300, 1.5f}});
  const std::string expected =
      "\xFF\xFF\xFF\xFF"
      "D\x02"
      "\x00"
      "ab\x00"
      "\x05\x00\x00\x00"
      "\x79\xE9\xF6\x42"
      "\x00"
      "c\x00"
      "\x2C\x01\x00\x00"
      "\x00\x00\xC0\x3F"s;
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(fake::BuildPlayersReply({}),
            "\xFF\xFF\xFF\xFF"
            "D\x00"s);
}

TEST(FakeReplies, RulesReplySplitsWithNumberedParts) {
  const std::string reply = fake::BuildRulesReply({{"sv_gravity", "800"}, {"mp_timelimit", "30"}});
  EXPECT_EQ(reply,
            "\xFF\xFF\xFF\xFF"
            "E\x02\x00"
            "sv_gravity\x00"
            "800\x00"
            "mp_timelimit\x00"
            "30\x00"s);

  for (int parts = 2; parts <= 4; ++parts) {
    auto datagrams = fake::SplitReply(reply, 0x01020304u, parts);
    ASSERT_EQ(datagrams.size(), static_cast<size_t>(parts));
    std::string joined;
    for (int i = 0; i < parts; ++i) {
      const std::string& d = datagrams[static_cast<size_t>(i)];
      ASSERT_GT(d.size(), fake::kSplitHeaderSize);
      EXPECT_EQ(d.substr(0, 8), "\xFE\xFF\xFF\xFF\x04\x03\x02\x01");
      EXPECT_EQ(static_cast<unsigned char>(d[8]), (i << 4) | parts);
      joined += d.substr(fake::kSplitHeaderSize);
    }
    EXPECT_EQ(joined, reply);
  }
  auto two = fake::SplitReply(reply, 7, 2);
  EXPECT_EQ(two[0][8], '\x02');
  EXPECT_EQ(two[1][8], '\x12');
  EXPECT_THROW(fake::SplitReply(reply, 7, 1), std::invalid_argument);
  EXPECT_THROW(fake::SplitReply(reply, 7, 16), std::invalid_argument);
  EXPECT_THROW(fake::SplitReply("ab", 7, 3), std::invalid_argument);
}

TEST(FakeReplies, RequestsAreRecognised) {
  EXPECT_EQ(fake::ClassifyRequest(kInfoRequest), fake::RequestKind::kInfo);
  EXPECT_EQ(fake::ClassifyRequest("\xFF\xFF\xFF\xFFplayers"), fake::RequestKind::kPlayers);
  EXPECT_EQ(fake::ClassifyRequest("\xFF\xFF\xFF\xFFVSource Engine Query\x00"s), fake::RequestKind::kRules);
  EXPECT_EQ(fake::kRulesRequest.size(), 25u);
  EXPECT_EQ(fake::ClassifyRequest("\xFF\xFF\xFF\xFF"
                                  "detail"),
            fake::RequestKind::kUnknown);
  EXPECT_EQ(fake::ClassifyRequest(""), fake::RequestKind::kUnknown);
}

TEST(FakeServerProfiles, SilentAndSlowServersAreExactAndSpread) {
  for (int count : {1, 7, 20, 1000}) {
    for (int silent : {0, 1, count / 4, count}) {
      fake::ServerSetup setup;
      setup.count = count;
      setup.silentCount = silent;
      setup.slowCount = (count - silent) / 3;
      auto profiles = fake::MakeProfiles(setup);
      ASSERT_EQ(profiles.size(), static_cast<size_t>(count));
      int silentSeen = 0, slowSeen = 0, longestSilentRun = 0, run = 0;
      std::set<int> ports;
      for (const auto& p : profiles) {
        ports.insert(p.port);
        silentSeen += p.behaviour == fake::Behaviour::kSilent;
        slowSeen += p.behaviour == fake::Behaviour::kSlow;
        run = p.behaviour == fake::Behaviour::kSilent ? run + 1 : 0;
        longestSilentRun = std::max(longestSilentRun, run);
      }
      EXPECT_EQ(silentSeen, silent) << count;
      EXPECT_EQ(slowSeen, (count - silent) / 3) << count;
      EXPECT_EQ(ports.size(), static_cast<size_t>(count));
      EXPECT_EQ(*ports.begin(), 28000);
      // Evenly spread: a quarter silent never gives two silent servers in a row.
      if (silent == count / 4 && count >= 4) {
        EXPECT_EQ(longestSilentRun, 1) << count;
      }
    }
  }
  fake::ServerSetup tooMany;
  tooMany.count = 100;
  tooMany.basePort = 65500;
  EXPECT_THROW(fake::MakeProfiles(tooMany), std::invalid_argument);
}

TEST(FakeServerProfiles, AnswersDecodeAndOddNamesCarryBothEncodings) {
  fake::ServerSetup setup;
  setup.count = 12;
  setup.oddNames = true;
  auto profiles = fake::MakeProfiles(setup);
  bool sawUtf8 = false, sawLatin1 = false;
  for (const auto& profile : profiles) {
    auto info = fake::AnswerRequest(profile, kInfoRequest, 0, 1);
    ASSERT_EQ(info.size(), 1u);
    auto reply = DecodeOriginalInfoReply(info[0]);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->serverName, profile.info.name);
    EXPECT_LE(*reply->players, *reply->maxPlayers);
    const std::string& name = profile.info.name;
    sawUtf8 = sawUtf8 || name.find("\xC3\x9C") != std::string::npos;
    sawLatin1 = sawLatin1 || name.find("Caf\xE9 ") != std::string::npos;

    // The players' records must be found by zero bytes: none inside a time value's
    // upper three bytes.
    auto players = fake::AnswerRequest(profile, fake::kPlayersRequest, 0, 1);
    ASSERT_EQ(players.size(), 1u);
    ByteCursor cursor(players[0]);
    ASSERT_TRUE(cursor.Skip(5));
    ASSERT_EQ(cursor.ReadByte(), profile.players.size());
    for (const auto& player : profile.players) {
      EXPECT_EQ(cursor.ReadByte(), 0);
      EXPECT_EQ(cursor.ReadZeroTerminated(), player.name);
      EXPECT_EQ(cursor.ReadInt32LE(), player.score);
      auto time = cursor.ReadBytes(4);
      ASSERT_TRUE(time);
      EXPECT_EQ(time->substr(1).find('\0'), std::string_view::npos);
    }
    EXPECT_TRUE(cursor.AtEnd());

    auto whole = fake::AnswerRequest(profile, fake::kRulesRequest, 0, 1);
    auto split = fake::AnswerRequest(profile, fake::kRulesRequest, 2, 9);
    ASSERT_EQ(whole.size(), 1u);
    ASSERT_EQ(split.size(), 2u);
    EXPECT_EQ(split[0].substr(9) + split[1].substr(9), whole[0]);
    EXPECT_TRUE(fake::AnswerRequest(profile, "\xFF\xFF\xFF\xFFping", 0, 1).empty());
  }
  EXPECT_TRUE(sawUtf8);
  EXPECT_TRUE(sawLatin1);
}

TEST(FakeServerProfiles, ListTextsInBothLayouts) {
  fake::ServerSetup setup;
  setup.count = 3;
  setup.basePort = 30000;
  setup.silentCount = 1;
  auto profiles = fake::MakeProfiles(setup);
  EXPECT_EQ(fake::PlainListText(profiles), "127.0.0.1:30000\r\n127.0.0.1:30001\r\n127.0.0.1:30002\r\n");
  const std::string record = fake::RecordListText(profiles);
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t at; (at = record.find("\r\n", from)) != std::string::npos; from = at + 2)
    lines.push_back(record.substr(from, at - from));
  EXPECT_EQ(from, record.size());  // every line ends with CR LF
  ASSERT_EQ(lines.size(), 30u);
  for (size_t server = 0; server < 3; ++server) {
    EXPECT_EQ(lines[server * 10], profiles[server].Address());
    for (size_t cell = 0; cell < 9; ++cell) {
      const std::string& line = lines[server * 10 + 1 + cell];
      EXPECT_EQ(line, cell == 4 ? fake::BehaviourName(profiles[server].behaviour) : " ");
    }
  }
  EXPECT_EQ(lines[25], "silent");  // one of three is silent: the last
  EXPECT_EQ(lines[5], "answers");
}

}  // namespace
}  // namespace vantrix

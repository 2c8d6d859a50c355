#include "core/protocol/SourceInfoReply.h"

#include <gtest/gtest.h>

#include "core/protocol/ServerInfo.h"
#include "core/protocol/SourceRequests.h"
#include "fake/FakeReplies.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

constexpr std::uint8_t kAllFlags[] = {kExtraPort, kExtraIdentity, kExtraSpectator, kExtraKeywords,
                                      kExtraGameId};

fake::SourceInfoFields Fields(std::uint8_t flags) {
  fake::SourceInfoFields f;
  f.protocol = 17;
  f.name = "Name \xE9";
  f.map = "de_dust2";
  f.folder = "cstrike";
  f.game = "Counter";
  f.appId = 0xBEEF;
  f.players = 7;
  f.maxPlayers = 32;
  f.bots = 2;
  f.serverType = 'l';
  f.environment = 'w';
  f.visibility = 1;
  f.secure = 1;
  f.version = "1.2.3";
  f.extraFlags = flags;
  f.port = 27016;
  f.identity = 0x0123456789ABCDEFull;
  f.spectatorPort = 27020;
  f.spectatorName = "TV";
  f.keywords = "a,b";
  f.gameId = 0xFEDCBA9876543210ull;
  return f;
}

TEST(SourceInfoReply, EveryCombinationOfExtraDataFields) {
  for (int combination = 0; combination < 32; ++combination) {
    std::uint8_t flags = 0;
    for (int bit = 0; bit < 5; ++bit)
      if (combination & (1 << bit)) flags |= kAllFlags[bit];
    const fake::SourceInfoFields f = Fields(flags);
    auto reply = DecodeSourceInfoReply(fake::BuildSourceInfoReply(f));
    ASSERT_TRUE(reply) << combination;
    EXPECT_EQ(reply->protocol, 17);
    EXPECT_EQ(reply->name, f.name);
    EXPECT_EQ(reply->map, f.map);
    EXPECT_EQ(reply->folder, f.folder);
    EXPECT_EQ(reply->game, f.game);
    EXPECT_EQ(reply->appId, 0xBEEF);
    EXPECT_EQ(reply->players, 7);
    EXPECT_EQ(reply->maxPlayers, 32);
    EXPECT_EQ(reply->bots, 2);
    EXPECT_EQ(reply->serverType, 'l');
    EXPECT_EQ(reply->environment, 'w');
    EXPECT_EQ(reply->visibility, 1);
    EXPECT_EQ(reply->secure, 1);
    EXPECT_EQ(reply->version, "1.2.3");
    EXPECT_EQ(reply->extraFlags, flags);
    EXPECT_TRUE(reply->extraComplete);
    EXPECT_EQ(reply->port, (flags & kExtraPort) ? std::optional<std::uint16_t>(27016) : std::nullopt);
    EXPECT_EQ(reply->identity,
              (flags & kExtraIdentity) ? std::optional<std::uint64_t>(0x0123456789ABCDEFull) : std::nullopt);
    EXPECT_EQ(reply->spectatorPort,
              (flags & kExtraSpectator) ? std::optional<std::uint16_t>(27020) : std::nullopt);
    EXPECT_EQ(reply->spectatorName,
              (flags & kExtraSpectator) ? std::optional<std::string>("TV") : std::nullopt);
    EXPECT_EQ(reply->keywords, (flags & kExtraKeywords) ? std::optional<std::string>("a,b") : std::nullopt);
    EXPECT_EQ(reply->gameId,
              (flags & kExtraGameId) ? std::optional<std::uint64_t>(0xFEDCBA9876543210ull) : std::nullopt);
  }
}

TEST(SourceInfoReply, ExactBytesOfAReplyWithPortAndKeywords) {
  const std::string bytes =
      "\xFF\xFF\xFF\xFFI\x11"
      "N\0M\0F\0G\0"
      "\x0A\x00"      // id 10
      "\x03\x10\x01"  // players, max, bots
      "dl\x00\x01"    // type, environment, visibility, secure
      "v1\0"          // version
      "\xA0"          // port and keywords
      "\x89\x69"      // port 27017
      "k1,k2\0"s;
  auto reply = DecodeSourceInfoReply(bytes);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->appId, 10);
  EXPECT_EQ(reply->port, 27017);
  EXPECT_EQ(reply->keywords, "k1,k2");
  EXPECT_FALSE(reply->identity);
  EXPECT_FALSE(reply->gameId);
  EXPECT_EQ(bytes, fake::BuildSourceInfoReply([] {
              fake::SourceInfoFields f;
              f.name = "N", f.map = "M", f.folder = "F", f.game = "G", f.appId = 10;
              f.players = 3, f.maxPlayers = 16, f.bots = 1, f.serverType = 'd', f.environment = 'l';
              f.visibility = 0, f.secure = 1, f.version = "v1", f.extraFlags = 0xA0, f.port = 27017;
              f.keywords = "k1,k2";
              return f;
            }()));
}

TEST(SourceInfoReply, EveryCutOfTheDatagramIsSafe) {
  const fake::SourceInfoFields f = Fields(0xF1);
  const std::string full = fake::BuildSourceInfoReply(f);
  const std::size_t versionEnd = full.find("1.2.3") + 6;  // after the version's zero
  for (std::size_t size = 0; size < full.size(); ++size) {
    auto reply = DecodeSourceInfoReply(std::string_view(full).substr(0, size));
    if (size < versionEnd) {
      EXPECT_FALSE(reply) << size;
      continue;
    }
    ASSERT_TRUE(reply) << size;
    EXPECT_EQ(reply->version, "1.2.3");
    if (size == versionEnd) {
      EXPECT_EQ(reply->extraFlags, 0);  // no flag byte at all: nothing announced
      EXPECT_TRUE(reply->extraComplete);
    } else {
      EXPECT_EQ(reply->extraFlags, 0xF1);
      EXPECT_FALSE(reply->extraComplete) << size;
    }
    // Fields are present in order: once one is missing, all later ones are too.
    const bool port = reply->port.has_value(), identity = reply->identity.has_value();
    const bool spectator = reply->spectatorName.has_value(), keywords = reply->keywords.has_value();
    EXPECT_FALSE(reply->gameId);
    EXPECT_TRUE(port || !identity);
    EXPECT_TRUE(identity || !spectator);
    EXPECT_TRUE(spectator || !keywords);
    EXPECT_EQ(reply->spectatorPort.has_value(), spectator);
  }
  auto whole = DecodeSourceInfoReply(full);
  ASSERT_TRUE(whole);
  EXPECT_TRUE(whole->extraComplete);
  EXPECT_EQ(whole->gameId, f.gameId);
}

TEST(SourceInfoReply, OtherDatagramsAreNotDecoded) {
  EXPECT_FALSE(DecodeSourceInfoReply(""));
  EXPECT_FALSE(DecodeSourceInfoReply("\xFF\xFF\xFF\xFF"));
  EXPECT_FALSE(DecodeSourceInfoReply("\xFF\xFF\xFF\xFFm\x11N\0M\0F\0G\0"s));
  EXPECT_FALSE(DecodeSourceInfoReply("\xFE\xFF\xFF\xFFI\x11N\0M\0F\0G\0"s));
}

TEST(SourceInfoReply, ServerInfoTakesTheWindowsLetters) {
  fake::SourceInfoFields f = Fields(0);
  const std::pair<std::uint8_t, std::optional<char>> types[] = {
      {'d', 'D'}, {'l', 'L'}, {'p', 'P'}, {'D', 'D'}, {'x', std::nullopt}, {0, std::nullopt}};
  for (auto [byte, letter] : types) {
    f.serverType = byte;
    EXPECT_EQ(ServerInfoFromSourceReply(*DecodeSourceInfoReply(fake::BuildSourceInfoReply(f))).type, letter);
  }
  const std::pair<std::uint8_t, std::optional<char>> environments[] = {
      {'l', 'L'}, {'w', 'W'}, {'m', 'M'}, {'o', 'M'}, {'?', std::nullopt}};
  for (auto [byte, letter] : environments) {
    f.environment = byte;
    EXPECT_EQ(ServerInfoFromSourceReply(*DecodeSourceInfoReply(fake::BuildSourceInfoReply(f))).os, letter);
  }
  const std::pair<std::uint8_t, std::optional<bool>> visibility[] = {
      {0, false}, {1, true}, {2, std::nullopt}};
  for (auto [byte, password] : visibility) {
    f.visibility = byte;
    const ServerInfo info = ServerInfoFromSourceReply(*DecodeSourceInfoReply(fake::BuildSourceInfoReply(f)));
    EXPECT_EQ(info.password, password);
    EXPECT_EQ(info.bots, 2);
    EXPECT_EQ(info.name, f.name);
  }
}

TEST(SourceInfoReply, DetailsRepliesGiveTheSameFieldsWithoutBots) {
  fake::InfoFields f;
  f.name = "Old";
  f.map = "crossfire";
  f.players = 4;
  f.maxPlayers = 12;
  f.type = 'l';
  f.os = 'w';
  f.password = 1;
  auto info = ServerInfoFromDetailsReply(fake::BuildInfoReply(f));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->name, "Old");
  EXPECT_EQ(info->map, "crossfire");
  EXPECT_EQ(info->players, 4);
  EXPECT_EQ(info->maxPlayers, 12);
  EXPECT_EQ(info->type, 'L');
  EXPECT_EQ(info->os, 'W');
  EXPECT_EQ(info->password, true);
  EXPECT_FALSE(info->bots);
  EXPECT_FALSE(ServerInfoFromDetailsReply("\xFF\xFF\xFF\xFFmno zero byte"));
  EXPECT_FALSE(ServerInfoFromDetailsReply(fake::BuildSourceInfoReply(Fields(0))));
}

TEST(SourceRequests, RequestBytesAndChallengeReplies) {
  EXPECT_EQ(SourceInfoRequest(), "\xFF\xFF\xFF\xFFTSource Engine Query\0"s);
  EXPECT_EQ(SourceInfoRequest(0x04030201u), "\xFF\xFF\xFF\xFFTSource Engine Query\0\x01\x02\x03\x04"s);
  EXPECT_EQ(PlayersRequest(kNoChallenge), "\xFF\xFF\xFF\xFFU\xFF\xFF\xFF\xFF"s);
  EXPECT_EQ(RulesRequest(0xA1B2C3D4u), "\xFF\xFF\xFF\xFFV\xD4\xC3\xB2\xA1"s);
  EXPECT_EQ(DecodeChallengeReply("\xFF\xFF\xFF\xFF\x41\xD4\xC3\xB2\xA1"), 0xA1B2C3D4u);
  EXPECT_EQ(DecodeChallengeReply(fake::BuildChallengeReply(0x11223344u)), 0x11223344u);
  EXPECT_FALSE(DecodeChallengeReply("\xFF\xFF\xFF\xFF\x41\xD4\xC3\xB2"));  // cut short
  EXPECT_FALSE(DecodeChallengeReply("\xFF\xFF\xFF\xFF\x42\xD4\xC3\xB2\xA1"));
  // The challenge sent back is the one received, byte for byte.
  const std::string reply = "\xFF\xFF\xFF\xFF\x41\x00\x80\xFF\x7F"s;
  EXPECT_EQ(PlayersRequest(*DecodeChallengeReply(reply)).substr(5), reply.substr(5));
  EXPECT_EQ(RequestChallenge(SourceInfoRequest(7), kSourceInfoText.size()), 7u);
  EXPECT_FALSE(RequestChallenge(SourceInfoRequest(), kSourceInfoText.size()));
}

}  // namespace
}  // namespace vantrix

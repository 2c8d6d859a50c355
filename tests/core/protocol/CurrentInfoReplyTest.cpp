#include "core/protocol/CurrentInfoReply.h"

#include <gtest/gtest.h>

#include "core/protocol/CurrentRequests.h"
#include "core/protocol/ServerInfo.h"
#include "fake/FakeReplies.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

constexpr std::uint8_t kAllFlags[] = {kExtraPort, kExtraIdentity, kExtraSpectator, kExtraKeywords,
                                      kExtraGameId};

fake::CurrentInfoFields Fields(std::uint8_t flags) {
  fake::CurrentInfoFields f;
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

TEST(CurrentInfoReply, EveryCombinationOfExtraDataFields) {
  for (int combination = 0; combination < 32; ++combination) {
    std::uint8_t flags = 0;
    for (int bit = 0; bit < 5; ++bit)
      if (combination & (1 << bit)) flags |= kAllFlags[bit];
    const fake::CurrentInfoFields f = Fields(flags);
    auto reply = DecodeCurrentInfoReply(fake::BuildCurrentInfoReply(f));
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

TEST(CurrentInfoReply, ExactBytesOfAReplyWithPortAndKeywords) {
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
  auto reply = DecodeCurrentInfoReply(bytes);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->appId, 10);
  EXPECT_EQ(reply->port, 27017);
  EXPECT_EQ(reply->keywords, "k1,k2");
  EXPECT_FALSE(reply->identity);
  EXPECT_FALSE(reply->gameId);
  EXPECT_EQ(bytes, fake::BuildCurrentInfoReply([] {
              fake::CurrentInfoFields f;
              f.name = "N", f.map = "M", f.folder = "F", f.game = "G", f.appId = 10;
              f.players = 3, f.maxPlayers = 16, f.bots = 1, f.serverType = 'd', f.environment = 'l';
              f.visibility = 0, f.secure = 1, f.version = "v1", f.extraFlags = 0xA0, f.port = 27017;
              f.keywords = "k1,k2";
              return f;
            }()));
}

TEST(CurrentInfoReply, EveryCutOfTheDatagramIsSafe) {
  const fake::CurrentInfoFields f = Fields(0xF1);
  const std::string full = fake::BuildCurrentInfoReply(f);
  const std::size_t countsEnd = full.find("Counter") + 8 + 2 + 2;  // game, app id, the two counts
  const std::size_t versionEnd = full.find("1.2.3") + 6;           // after the version's zero
  for (std::size_t size = 0; size < full.size(); ++size) {
    auto reply = DecodeCurrentInfoReply(std::string_view(full).substr(0, size));
    if (size < countsEnd) {
      EXPECT_FALSE(reply) << size;
      continue;
    }
    ASSERT_TRUE(reply) << size;
    EXPECT_EQ(reply->maxPlayers, 32);
    EXPECT_EQ(reply->bots.has_value(), size > countsEnd);
    EXPECT_EQ(reply->version.has_value(), size >= versionEnd);
    if (size <= versionEnd) {
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
  auto whole = DecodeCurrentInfoReply(full);
  ASSERT_TRUE(whole);
  EXPECT_TRUE(whole->extraComplete);
  EXPECT_EQ(whole->gameId, f.gameId);
}

TEST(CurrentInfoReply, OtherDatagramsAreNotDecoded) {
  EXPECT_FALSE(DecodeCurrentInfoReply(""));
  EXPECT_FALSE(DecodeCurrentInfoReply("\xFF\xFF\xFF\xFF"));
  EXPECT_FALSE(DecodeCurrentInfoReply("\xFF\xFF\xFF\xFFm\x11N\0M\0F\0G\0"s));
  EXPECT_FALSE(DecodeCurrentInfoReply("\xFE\xFF\xFF\xFFI\x11N\0M\0F\0G\0"s));
}

TEST(CurrentInfoReply, ServerInfoTakesTheWindowsLetters) {
  fake::CurrentInfoFields f = Fields(0);
  const std::pair<std::uint8_t, std::optional<char>> types[] = {
      {'d', 'D'}, {'l', 'L'}, {'p', 'P'}, {'D', 'D'}, {'x', std::nullopt}, {0, std::nullopt}};
  for (auto [byte, letter] : types) {
    f.serverType = byte;
    EXPECT_EQ(ServerInfoFromCurrentReply(*DecodeCurrentInfoReply(fake::BuildCurrentInfoReply(f))).type,
              letter);
  }
  const std::pair<std::uint8_t, std::optional<char>> environments[] = {
      {'l', 'L'}, {'w', 'W'}, {'m', 'M'}, {'o', 'M'}, {'?', std::nullopt}};
  for (auto [byte, letter] : environments) {
    f.environment = byte;
    EXPECT_EQ(ServerInfoFromCurrentReply(*DecodeCurrentInfoReply(fake::BuildCurrentInfoReply(f))).os, letter);
  }
  const std::pair<std::uint8_t, std::optional<bool>> visibility[] = {
      {0, false}, {1, true}, {2, std::nullopt}};
  for (auto [byte, password] : visibility) {
    f.visibility = byte;
    const ServerInfo info =
        ServerInfoFromCurrentReply(*DecodeCurrentInfoReply(fake::BuildCurrentInfoReply(f)));
    EXPECT_EQ(info.password, password);
    EXPECT_EQ(info.bots, 2);
    EXPECT_EQ(info.name, f.name);
  }
}

// Both info replies read exactly, as the checker and the window's current protocol read
// them: what each case expects of the decoded fields (nullopt: the reply is refused).
TEST(ServerInfo, ExactReadingOfBothReplies) {
  fake::InfoFields old;
  old.address = "10.0.0.5:27015";
  old.name = "Gold Rush";
  old.map = "crossfire";
  old.players = 4;
  old.maxPlayers = 12;
  old.type = 'l';
  old.os = 'w';
  old.password = 1;
  const std::string oldReply = fake::BuildInfoReply(old);
  const std::size_t oldCountsEnd = oldReply.find("Vantrix Test") + 13 + 2;

  fake::InfoFields withBots = old;
  withBots.mod = 1;
  withBots.bots = 3;
  fake::InfoFields upper = old;
  upper.type = 'D';
  upper.os = 'L';
  fake::CurrentInfoFields currentUpper = Fields(0);
  currentUpper.serverType = 'P';
  currentUpper.environment = 'W';
  fake::CurrentInfoFields ship = Fields(kExtraPort);
  ship.appId = 2400;
  ship.shipMode = 1;
  ship.shipWitnesses = 2;
  ship.shipDuration = 3;
  fake::CurrentInfoFields noGameId = Fields(kExtraPort | kExtraIdentity | kExtraKeywords);

  struct Case {
    const char* what;
    std::string reply;
    std::optional<ServerInfo> expected;
  };
  const auto info = [](std::string name, int players, int max, std::optional<char> type,
                       std::optional<char> os, std::optional<int> bots, std::optional<bool> password) {
    ServerInfo i;
    i.name = std::move(name);
    i.players = players;
    i.maxPlayers = max;
    i.type = type;
    i.os = os;
    i.bots = bots;
    i.password = password;
    return i;
  };
  const ServerInfo whole = info("Gold Rush", 4, 12, 'L', 'W', std::nullopt, true);
  ServerInfo countsOnly = info("Gold Rush", 4, 12, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
  const Case cases[] = {
      {"'m' whole", oldReply, whole},
      {"'m' cut inside the name", oldReply.substr(0, oldReply.find("Gold") + 4), std::nullopt},
      {"'m' with the address only", oldReply.substr(0, oldReply.find("Gold")), std::nullopt},
      {"'m' cut between the counts", oldReply.substr(0, oldCountsEnd - 1), std::nullopt},
      {"'m' cut after the counts", oldReply.substr(0, oldCountsEnd), countsOnly},
      {"'m' with its mod block and bots", fake::BuildInfoReply(withBots),
       info("Gold Rush", 4, 12, 'L', 'W', 3, true)},
      {"'m' with upper-case letters", fake::BuildInfoReply(upper),
       info("Gold Rush", 4, 12, 'D', 'L', std::nullopt, true)},
      {"'I' with upper-case letters", fake::BuildCurrentInfoReply(currentUpper),
       info("Name \xE9", 7, 32, 'P', 'W', 2, true)},
      {"no info reply", fake::BuildChallengeReply(5), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto decoded = DecodeServerInfo(c.reply);
    ASSERT_EQ(decoded.has_value(), c.expected.has_value());
    if (!decoded) continue;
    EXPECT_EQ(decoded->name, c.expected->name);
    EXPECT_EQ(decoded->players, c.expected->players);
    EXPECT_EQ(decoded->maxPlayers, c.expected->maxPlayers);
    EXPECT_EQ(decoded->type, c.expected->type);
    EXPECT_EQ(decoded->os, c.expected->os);
    EXPECT_EQ(decoded->bots, c.expected->bots);
    EXPECT_EQ(decoded->password, c.expected->password);
  }

  // The Ship's three bytes before the version; the extra data after it is read in place.
  const auto shipReply = DecodeCurrentInfoReply(fake::BuildCurrentInfoReply(ship));
  ASSERT_TRUE(shipReply);
  EXPECT_EQ(shipReply->shipDuration, 3);
  EXPECT_EQ(shipReply->version, "1.2.3");
  const auto shipInfo = DecodeServerInfo(fake::BuildCurrentInfoReply(ship));
  EXPECT_EQ(shipInfo->gamePort, 27016);
  EXPECT_EQ(shipInfo->gameId, 2400u);

  // The extra data for the report; without its own game id the app id stands in.
  const auto extra = DecodeServerInfo(fake::BuildCurrentInfoReply(noGameId));
  EXPECT_EQ(extra->gamePort, 27016);
  EXPECT_EQ(extra->steamId, 0x0123456789ABCDEFull);
  EXPECT_EQ(extra->keywords, "a,b");
  EXPECT_EQ(extra->gameId, 0xBEEFu);
  EXPECT_EQ(DecodeServerInfo(fake::BuildCurrentInfoReply(Fields(kExtraGameId)))->gameId,
            0xFEDCBA9876543210ull);
  EXPECT_FALSE(DecodeServerInfo(oldReply)->gamePort);
}

TEST(SourceRequests, RequestBytesAndChallengeReplies) {
  EXPECT_EQ(CurrentInfoRequest(), "\xFF\xFF\xFF\xFFTSource Engine Query\0"s);
  EXPECT_EQ(CurrentInfoRequest(0x04030201u), "\xFF\xFF\xFF\xFFTSource Engine Query\0\x01\x02\x03\x04"s);
  EXPECT_EQ(PlayersRequest(kNoChallenge), "\xFF\xFF\xFF\xFFU\xFF\xFF\xFF\xFF"s);
  EXPECT_EQ(RulesRequest(0xA1B2C3D4u), "\xFF\xFF\xFF\xFFV\xD4\xC3\xB2\xA1"s);
  EXPECT_EQ(DecodeChallengeReply("\xFF\xFF\xFF\xFF\x41\xD4\xC3\xB2\xA1"), 0xA1B2C3D4u);
  EXPECT_EQ(DecodeChallengeReply(fake::BuildChallengeReply(0x11223344u)), 0x11223344u);
  EXPECT_FALSE(DecodeChallengeReply("\xFF\xFF\xFF\xFF\x41\xD4\xC3\xB2"));  // cut short
  EXPECT_FALSE(DecodeChallengeReply("\xFF\xFF\xFF\xFF\x42\xD4\xC3\xB2\xA1"));
  // The challenge sent back is the one received, byte for byte.
  const std::string reply = "\xFF\xFF\xFF\xFF\x41\x00\x80\xFF\x7F"s;
  EXPECT_EQ(PlayersRequest(*DecodeChallengeReply(reply)).substr(5), reply.substr(5));
  EXPECT_EQ(RequestChallenge(CurrentInfoRequest(7), kCurrentInfoText.size()), 7u);
  EXPECT_FALSE(RequestChallenge(CurrentInfoRequest(), kCurrentInfoText.size()));
}

}  // namespace
}  // namespace vantrix

#include <string>

#include <gtest/gtest.h>

#include "core/protocol/InfoReply.h"
#include "fake/FakeReplies.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

fake::SourceInfoFields Fields() {
  fake::SourceInfoFields fields;
  fields.name = "Alpha";
  fields.map = "de_dust2";
  fields.players = 12;
  fields.maxPlayers = 20;
  fields.bots = 3;
  fields.serverType = 'd';
  fields.environment = 'w';
  fields.visibility = 1;
  return fields;
}

TEST(CurrentInfoReplyTest, FieldsGoWhereTheOriginalReplyPutsThem) {
  const std::string datagram = fake::BuildSourceInfoReply(Fields());
  const auto reply = DecodeCurrentInfoReply(datagram);
  ASSERT_TRUE(reply);
  EXPECT_TRUE(reply->hasTexts);
  EXPECT_EQ(reply->serverName, "Alpha");
  EXPECT_EQ(reply->map, "de_dust2");
  EXPECT_EQ(reply->players, 12);
  EXPECT_EQ(reply->maxPlayers, 20);
  EXPECT_EQ(reply->typeLetter, 'D');
  EXPECT_EQ(reply->osLetter, 'W');
  EXPECT_EQ(reply->password, true);
  // The dispatcher takes either type, and nothing else.
  EXPECT_EQ(DecodeAnyInfoReply(datagram)->serverName, "Alpha");
  EXPECT_FALSE(DecodeCurrentInfoReply(fake::BuildInfoReply({})));
  EXPECT_FALSE(DecodeAnyInfoReply(fake::BuildChallengeReply(5)));
}

TEST(CurrentInfoReplyTest, LettersAndFlagsFollowTheCellRules) {
  struct Case {
    std::uint8_t type, environment, visibility;
    std::optional<char> d, s;
    std::optional<bool> p;
  };
  const Case cases[] = {
      {'l', 'l', 0, 'L', 'L', false}, {'p', 'm', 1, 'P', 'M', true}, {'d', 'o', 0, 'D', 'M', false},
      {'D', 'W', 2, {}, {}, {}},      {'x', 'x', 255, {}, {}, {}},
  };
  for (const Case& c : cases) {
    fake::SourceInfoFields fields = Fields();
    fields.serverType = c.type;
    fields.environment = c.environment;
    fields.visibility = c.visibility;
    const std::string datagram = fake::BuildSourceInfoReply(fields);
    const auto reply = DecodeCurrentInfoReply(datagram);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->typeLetter, c.d) << c.type;
    EXPECT_EQ(reply->osLetter, c.s) << c.environment;
    EXPECT_EQ(reply->password, c.p) << int(c.visibility);
  }
}

// Every cut keeps what it carries and leaves the rest absent, never reading past the end.
TEST(CurrentInfoReplyTest, AReplyCutAtEveryByteKeepsWhatItCarries) {
  fake::SourceInfoFields fields = Fields();
  fields.hasExtraFlags = false;
  const std::string full = fake::BuildSourceInfoReply(fields);
  const std::size_t nameEnd = full.find('\0', 6);
  const std::size_t mapEnd = full.find('\0', nameEnd + 1);
  const std::size_t gameEnd = full.find('\0', full.find('\0', mapEnd + 1) + 1);
  for (std::size_t size = 0; size <= full.size(); ++size) {
    SCOPED_TRACE(size);
    const std::string cut = full.substr(0, size);
    const auto reply = DecodeCurrentInfoReply(cut);
    if (size < 5) {
      EXPECT_FALSE(reply);
      continue;
    }
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->hasTexts, size > nameEnd);
    EXPECT_EQ(reply->serverName, size > nameEnd ? "Alpha" : "");
    EXPECT_EQ(reply->map, size > mapEnd ? "de_dust2" : "");
    // A text cut short is read again from the same bytes, as in the original reply; past the
    // texts each byte counts only when it is there.
    if (size <= gameEnd) continue;
    const std::size_t bytes = size - gameEnd - 1;
    EXPECT_EQ(reply->players.has_value(), bytes > 2);
    EXPECT_EQ(reply->maxPlayers.has_value(), bytes > 3);
    EXPECT_EQ(reply->typeLetter.has_value(), bytes > 5);
    EXPECT_EQ(reply->osLetter.has_value(), bytes > 6);
    EXPECT_EQ(reply->password.has_value(), bytes > 7);
    if (reply->players) {
      EXPECT_EQ(*reply->players, 12);
    }
  }
}

}  // namespace
}  // namespace vantrix

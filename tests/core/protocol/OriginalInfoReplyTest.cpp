#include "core/protocol/OriginalInfoReply.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "core/protocol/InfoRequest.h"
#include "fake/FakeReplies.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

// The decoding steps written out literally with indexes, as the slow reference.
struct Reference {
  bool isReply = false;
  bool hasZero = false;
  std::string name, map;
  int players = -1, maxPlayers = -1;  // -1: absent
  int type = -1, os = -1, password = -1;
};

Reference ReferenceDecode(const std::string& d) {
  Reference r;
  if (d.size() < 5) return r;
  for (int i = 0; i < 4; ++i)
    if (static_cast<unsigned char>(d[static_cast<size_t>(i)]) != 0xFF) return r;
  if (d[4] != 'm') return r;
  r.isReply = true;
  bool zero = false;
  for (char c : d) zero = zero || c == '\0';
  if (!zero) return r;
  r.hasZero = true;
  size_t pos = 5;
  auto next = [&]() {
    size_t z = pos;
    while (z < d.size() && d[z] != '\0') ++z;
    if (z >= d.size()) return std::string();
    std::string text = d.substr(pos, z - pos);
    pos = z + 1;
    return text;
  };
  next();
  r.name = next();
  r.map = next();
  next();
  next();
  auto byte = [&](size_t k) {
    return pos + k - 1 < d.size() ? static_cast<unsigned char>(d[pos + k - 1]) : -1;
  };
  r.players = byte(1);
  r.maxPlayers = byte(2);
  if (byte(4) == 'd' || byte(4) == 'l' || byte(4) == 'p') r.type = byte(4) - 'a' + 'A';
  if (byte(5) == 'l' || byte(5) == 'w') r.os = byte(5) - 'a' + 'A';
  if (byte(6) == 0 || byte(6) == 1) r.password = byte(6);
  return r;
}

void ExpectSame(const Reference& expected, const std::optional<OriginalInfoReply>& actual,
                const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_EQ(expected.isReply, actual.has_value());
  if (!actual) return;
  ASSERT_EQ(expected.hasZero, actual->hasTexts);
  EXPECT_EQ(expected.name, actual->serverName);
  EXPECT_EQ(expected.map, actual->map);
  EXPECT_EQ(expected.players, actual->players ? int{*actual->players} : -1);
  EXPECT_EQ(expected.maxPlayers, actual->maxPlayers ? int{*actual->maxPlayers} : -1);
  EXPECT_EQ(expected.type, actual->typeLetter ? int{*actual->typeLetter} : -1);
  EXPECT_EQ(expected.os, actual->osLetter ? int{*actual->osLetter} : -1);
  EXPECT_EQ(expected.password, actual->password ? int{*actual->password} : -1);
}

// Decodes from a heap block of exactly the datagram's size, so that a read past the
// end is caught by the address sanitizer build, and compares with the reference.
void CheckAgainstReference(const std::string& bytes, const std::string& what) {
  auto block = std::make_unique<char[]>(std::max<size_t>(bytes.size(), 1));
  std::memcpy(block.get(), bytes.data(), bytes.size());
  ExpectSame(ReferenceDecode(bytes), DecodeOriginalInfoReply(std::string_view(block.get(), bytes.size())),
             what);
}

fake::InfoFields FullFields() {
  fake::InfoFields f;
  f.address = "10.0.0.5:27015";
  f.name = "Alpha \xE9";
  f.map = "de_dust2";
  f.players = 12;
  f.maxPlayers = 20;
  f.type = 'd';
  f.os = 'w';
  f.password = 1;
  return f;
}

TEST(InfoReplyDecoding, AFullReplyFillsEveryField) {
  const std::string bytes = fake::BuildInfoReply(FullFields());
  auto reply = DecodeOriginalInfoReply(bytes);
  ASSERT_TRUE(reply);
  EXPECT_TRUE(reply->hasTexts);
  EXPECT_EQ(reply->serverName, "Alpha \xE9");
  EXPECT_EQ(reply->map, "de_dust2");
  EXPECT_EQ(reply->players, 12);
  EXPECT_EQ(reply->maxPlayers, 20);
  EXPECT_EQ(reply->typeLetter, 'D');
  EXPECT_EQ(reply->osLetter, 'W');
  EXPECT_EQ(reply->password, true);
  EXPECT_EQ(kInfoRequest, "\xFF\xFF\xFF\xFF"s + "details");
  EXPECT_EQ(kInfoRequest.size(), 11u);
}

TEST(InfoReplyDecoding, OnlyFfFfFfFfMIsAnInfoReply) {
  EXPECT_FALSE(DecodeOriginalInfoReply(""));
  EXPECT_FALSE(DecodeOriginalInfoReply("\xFF\xFF\xFF\xFF"));
  EXPECT_FALSE(
      DecodeOriginalInfoReply("\xFF\xFF\xFF\xFF"
                              "D\x00"s));
  EXPECT_FALSE(
      DecodeOriginalInfoReply("\xFF\xFF\xFF\xFE"
                              "m\x00"s));
  EXPECT_FALSE(
      DecodeOriginalInfoReply("\xFF\xFF\xFF\xFF"
                              "M\x00"s));
  EXPECT_FALSE(
      DecodeOriginalInfoReply("\xFE\xFF\xFF\xFF"
                              "m\x00"s));
  auto bare = DecodeOriginalInfoReply(
      "\xFF\xFF\xFF\xFF"
      "m");
  ASSERT_TRUE(bare);
  EXPECT_FALSE(bare->hasTexts);
  EXPECT_FALSE(bare->players);
}

TEST(InfoReplyDecoding, LettersAndFlagsOnlyFromTheirValues) {
  struct Case {
    std::uint8_t type, os, password;
    std::optional<char> d, s;
    std::optional<bool> p;
  };
  const Case cases[] = {
      {'d', 'l', 0, 'D', 'L', false}, {'l', 'w', 1, 'L', 'W', true}, {'p', 'l', 0, 'P', 'L', false},
      {'D', 'L', 2, {}, {}, {}},      {'x', 'W', 255, {}, {}, {}},   {0, 0, 1, {}, {}, true},
  };
  for (const Case& c : cases) {
    fake::InfoFields f = FullFields();
    f.type = c.type;
    f.os = c.os;
    f.password = c.password;
    auto reply = DecodeOriginalInfoReply(fake::BuildInfoReply(f));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->typeLetter, c.d) << int{c.type};
    EXPECT_EQ(reply->osLetter, c.s) << int{c.os};
    EXPECT_EQ(reply->password, c.p) << int{c.password};
  }
}

TEST(InfoReplyDecoding, ATextWithoutItsZeroIsEmptyAndTheBytesAreReadAgain) {
  // The name has no terminating zero: name and map are "", and the trailing bytes are
  // taken from the name's own bytes.
  const std::string bytes =
      "\xFF\xFF\xFF\xFF"
      "m10.0.0.5:27015\x00"
      "Ab"
      "cdlw\x01"s;
  auto reply = DecodeOriginalInfoReply(bytes);
  ASSERT_TRUE(reply);
  EXPECT_TRUE(reply->hasTexts);
  EXPECT_EQ(reply->serverName, "");
  EXPECT_EQ(reply->map, "");
  EXPECT_EQ(reply->players, 'A');
  EXPECT_EQ(reply->maxPlayers, 'b');
  EXPECT_EQ(reply->typeLetter, 'D');  // byte 4 is 'd'
  EXPECT_EQ(reply->osLetter, 'L');    // byte 5 is 'l'
  EXPECT_FALSE(reply->password);      // byte 6 is 'w'
}

TEST(InfoReplyDecoding, ATruncatedReplyAtEveryLengthMatchesTheReference) {
  const std::string full = fake::BuildInfoReply(FullFields());
  for (size_t length = 0; length <= full.size(); ++length) {
    CheckAgainstReference(full.substr(0, length), "length " + std::to_string(length));
  }
  // Spot checks of the boundaries: all texts but no trailing bytes, then one byte more.
  const size_t textsEnd = full.size() - 7;
  auto noTrailing = DecodeOriginalInfoReply(std::string_view(full).substr(0, textsEnd));
  ASSERT_TRUE(noTrailing);
  EXPECT_EQ(noTrailing->map, "de_dust2");
  EXPECT_FALSE(noTrailing->players);
  auto onePlayerByte = DecodeOriginalInfoReply(std::string_view(full).substr(0, textsEnd + 1));
  ASSERT_TRUE(onePlayerByte);
  EXPECT_EQ(onePlayerByte->players, 12);
  EXPECT_FALSE(onePlayerByte->maxPlayers);
}

TEST(InfoReplyDecoding, RandomDatagramsMatchTheReference) {
  std::mt19937 random(20240611);
  const std::string alphabet = "\0\0\0\0\xFFmdlpwDLW\x01\x02xy"s;
  for (int round = 0; round < 20000; ++round) {
    const size_t length = random() % 40;
    std::string bytes;
    // Most datagrams get the reply header so that the decoding paths are reached.
    if (random() % 8 != 0)
      bytes =
          "\xFF\xFF\xFF\xFF"
          "m";
    while (bytes.size() < length) bytes.push_back(alphabet[random() % alphabet.size()]);
    CheckAgainstReference(bytes, "round " + std::to_string(round));
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace vantrix

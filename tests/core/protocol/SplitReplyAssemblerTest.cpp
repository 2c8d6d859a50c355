#include "core/protocol/SplitReplyAssembler.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>

#include <gtest/gtest.h>

#include "core/protocol/Bzip2.h"
#include "core/protocol/Crc32.h"
#include "fake/FakeReplies.h"

namespace vantrix {
namespace {

using Status = SplitReplyAssembler::Status;

std::string LongRulesReply(int rules) {
  std::vector<fake::Rule> list;
  for (int i = 0; i < rules; ++i)
    list.push_back({"rule_" + std::to_string(i), "value " + std::to_string(i * 7)});
  return fake::BuildRulesReply(list);
}

// Feeds the parts in the given order; gives the outcome of the last one and checks that
// none before it completed or was rejected.
SplitReplyAssembler::Outcome Feed(SplitReplyAssembler& assembler, const std::vector<std::string>& parts,
                                  const std::vector<std::size_t>& order) {
  SplitReplyAssembler::Outcome outcome;
  for (std::size_t k = 0; k < order.size(); ++k) {
    outcome = assembler.Take(parts[order[k]]);
    if (k + 1 < order.size()) {
      EXPECT_EQ(outcome.status, Status::kIncomplete) << k << " " << outcome.problem;
    }
  }
  return outcome;
}

std::vector<std::size_t> InOrder(std::size_t count) {
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), 0);
  return order;
}

// The newer parts without their 16-bit split size, as some older engines send them.
std::vector<std::string> WithoutSizeField(std::vector<std::string> parts) {
  for (std::string& part : parts) part.erase(10, 2);
  return parts;
}

TEST(SplitReplyAssembler, EveryOrderOfFourPartsInEveryHeaderAndCompressed) {
  const std::string reply = LongRulesReply(40);
  const std::string bare = reply.substr(4);  // without its inner FF FF FF FF
  const std::size_t quarter = (reply.size() + 3) / 4;
  struct Layout {
    const char* name;
    std::vector<std::string> parts;
    std::optional<bool> sizeField;  // what the app id tells, if anything
  };
  const std::vector<Layout> layouts{
      {"newer", fake::SplitReplyBySize(reply, 77, quarter, false), std::nullopt},
      {"older", fake::SplitReply(reply, 77, 4), std::nullopt},
      {"compressed", fake::SplitReplyBySize(reply, 77, (Bzip2Compress(reply).size() + 8 + 3) / 4, true),
       std::nullopt},
      {"newer without size, by shape", WithoutSizeField(fake::SplitReplyBySize(reply, 77, quarter, false)),
       std::nullopt},
      {"newer without size, by app id", WithoutSizeField(fake::SplitReplyBySize(reply, 77, quarter, false)),
       SplitReplyAssembler::SizeFieldOf(215, 17)},
      {"newer, data without its header", fake::SplitReplyBySize(bare, 77, (bare.size() + 3) / 4, false),
       std::nullopt},
      {"older, data without its header", fake::SplitReply(bare, 77, 4), std::nullopt},
  };
  for (const Layout& layout : layouts) {
    ASSERT_EQ(layout.parts.size(), 4u) << layout.name;
    std::vector<std::size_t> order = InOrder(4);
    int orders = 0;
    do {
      SplitReplyAssembler assembler;
      assembler.Expect('E', layout.sizeField);
      auto outcome = Feed(assembler, layout.parts, order);
      ASSERT_EQ(outcome.status, Status::kComplete) << layout.name << " " << outcome.problem;
      EXPECT_EQ(outcome.reply, reply) << layout.name;
      EXPECT_EQ(assembler.PendingReplies(), 0u);
      ++orders;
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(orders, 24);
  }
}

TEST(SplitReplyAssembler, DuplicatesAreIgnoredAndLatePartsOfADoneReplyToo) {
  const std::string reply = LongRulesReply(20);
  auto parts = fake::SplitReplyBySize(reply, 5, 100, false);
  ASSERT_GE(parts.size(), 3u);
  SplitReplyAssembler assembler;
  std::vector<std::size_t> order{1, 1, 0, 1, 0};
  for (std::size_t i = 2; i < parts.size(); ++i) order.push_back(i);
  auto outcome = Feed(assembler, parts, order);
  ASSERT_EQ(outcome.status, Status::kComplete);
  EXPECT_EQ(outcome.reply, reply);
  EXPECT_EQ(assembler.Take(parts[0]).status, Status::kIncomplete);
  EXPECT_EQ(assembler.PendingReplies(), 0u);
  // The next exchange may use the same id again: after Clear a new reply's parts are taken,
  // and late copies of the finished reply's parts are never joined to it.
  assembler.Clear();
  std::vector<fake::Player> players;
  for (int i = 0; i < 40; ++i) players.push_back({0, "player " + std::to_string(i), i, 60.0f});
  const std::string next = fake::BuildPlayersReply(players);
  auto nextParts = fake::SplitReplyBySize(next, 5, 100, false);
  ASSERT_GE(nextParts.size(), 3u);
  EXPECT_EQ(assembler.Take(parts[1]).status, Status::kIncomplete);
  EXPECT_EQ(assembler.Take(parts[2]).status, Status::kIncomplete);
  std::vector<std::size_t> all(nextParts.size());
  std::iota(all.begin(), all.end(), std::size_t{0});
  outcome = Feed(assembler, nextParts, all);
  ASSERT_EQ(outcome.status, Status::kComplete);
  EXPECT_EQ(outcome.reply, next);
  EXPECT_EQ(assembler.PendingReplies(), 0u);
}

TEST(SplitReplyAssembler, AMissingPartLeavesItIncompleteAndRepliesDoNotMix) {
  const std::string first = LongRulesReply(20);
  const std::string second = LongRulesReply(21);
  auto a = fake::SplitReplyBySize(first, 1, 90, false);
  auto b = fake::SplitReplyBySize(second, 2, 90, false);
  SplitReplyAssembler assembler;
  for (std::size_t i = 0; i + 1 < a.size(); ++i) EXPECT_EQ(assembler.Take(a[i]).status, Status::kIncomplete);
  SplitReplyAssembler::Outcome outcome;
  for (const std::string& part : b) outcome = assembler.Take(part);
  ASSERT_EQ(outcome.status, Status::kComplete);
  EXPECT_EQ(outcome.reply, second);
  EXPECT_EQ(assembler.PendingReplies(), 1u);
  EXPECT_GT(assembler.PendingBytes(), 0u);
  outcome = assembler.Take(a.back());
  ASSERT_EQ(outcome.status, Status::kComplete);
  EXPECT_EQ(outcome.reply, first);
}

TEST(SplitReplyAssembler, CompressedRepliesWithAWrongCrcOrDamagedDataAreRejected) {
  const std::string reply = LongRulesReply(30);
  auto parts = fake::SplitReplyBySize(reply, 9, 150, true);
  ASSERT_GE(parts.size(), 2u);
  {
    auto wrongCrc = parts;
    wrongCrc[0][SplitReplyAssembler::kNewHeaderSize + 4] ^= 0x40;
    SplitReplyAssembler assembler;
    auto outcome = Feed(assembler, wrongCrc, InOrder(wrongCrc.size()));
    EXPECT_EQ(outcome.status, Status::kRejected);
    EXPECT_EQ(outcome.problem, "split reply: CRC mismatch");
    EXPECT_TRUE(outcome.reply.empty());
  }
  {
    auto damaged = parts;
    damaged.back()[damaged.back().size() - 3] ^= 0x55;
    SplitReplyAssembler assembler;
    auto outcome = Feed(assembler, damaged, InOrder(damaged.size()));
    EXPECT_EQ(outcome.status, Status::kRejected);
    EXPECT_EQ(outcome.problem, "split reply: damaged compressed data");
  }
  {
    auto wrongSize = parts;  // announces one byte more than the stream gives
    wrongSize[0][SplitReplyAssembler::kNewHeaderSize] += 1;
    SplitReplyAssembler assembler;
    EXPECT_EQ(Feed(assembler, wrongSize, InOrder(wrongSize.size())).status, Status::kRejected);
  }
  {
    auto huge = parts;  // announces more than the cap: refused before decompressing
    huge[0][SplitReplyAssembler::kNewHeaderSize + 3] = 0x7F;
    SplitReplyAssembler assembler;
    auto outcome = Feed(assembler, huge, InOrder(huge.size()));
    EXPECT_EQ(outcome.status, Status::kRejected);
    EXPECT_EQ(outcome.problem, "split reply: too large");
  }
}

TEST(SplitReplyAssembler, CapsOnPartsAndSize) {
  // The number of parts is the announced total: a legal 43-part reply assembles.
  const std::string reply = LongRulesReply(60);
  auto many = fake::SplitReplyBySize(reply, 3, reply.size() / 43 + 1, false);
  ASSERT_EQ(many.size(), 43u);
  SplitReplyAssembler assembler;
  EXPECT_EQ(Feed(assembler, many, InOrder(many.size())).reply, reply);

  // Copies of parts that come before part 0 count once, junk of the same id sent ahead of
  // the reply gives way, and the reply still assembles.
  auto eighteen = fake::SplitReplyBySize(reply, 6, reply.size() / 18 + 1, false);
  ASSERT_EQ(eighteen.size(), 18u);
  std::vector<std::size_t> twice;
  for (std::size_t i = 1; i < eighteen.size(); ++i) twice.insert(twice.end(), {i, i});
  twice.push_back(0);
  SplitReplyAssembler copies;
  EXPECT_EQ(Feed(copies, eighteen, twice).reply, reply);
  SplitReplyAssembler flooded;
  for (int i = 0; i < 300; ++i) {
    std::string junk = eighteen[1];
    junk[9] = static_cast<char>(i % 200 + 20);  // part numbers past the total
    junk += std::to_string(i);
    ASSERT_EQ(flooded.Take(junk).status, Status::kIncomplete);
  }
  EXPECT_EQ(Feed(flooded, eighteen, InOrder(eighteen.size())).reply, reply);
  EXPECT_LE(flooded.PendingBytes(), SplitReplyAssembler::kMaxReplyBytes);

  // A reply whose parts together pass the byte cap.
  const std::string big(SplitReplyAssembler::kMaxReplyBytes / 20 + 10, 'x');
  std::string body =
      "\xFF\xFF\xFF\xFF"
      "E" +
      big;
  SplitReplyAssembler sized;
  SplitReplyAssembler::Outcome end;
  for (int part = 0; part < 24 && end.status == Status::kIncomplete; ++part) {
    std::string datagram("\xFE\xFF\xFF\xFF\x04\x00\x00\x00", 8);
    datagram.push_back(24);
    datagram.push_back(static_cast<char>(part));
    datagram.append("\xE0\x04", 2);
    datagram += body;
    end = sized.Take(datagram);
  }
  EXPECT_EQ(end.status, Status::kRejected);
  EXPECT_EQ(end.problem, "split reply: too large");
}

TEST(SplitReplyAssembler, BadHeadersAreRejected) {
  const std::string reply = LongRulesReply(10);
  auto parts = fake::SplitReplyBySize(reply, 8, 60, false);
  {
    auto disagree = parts;
    disagree[1][8] = static_cast<char>(parts.size() + 1);
    SplitReplyAssembler assembler;
    assembler.Take(disagree[0]);
    auto outcome = assembler.Take(disagree[1]);
    EXPECT_EQ(outcome.status, Status::kRejected);
    EXPECT_EQ(outcome.problem, "split reply: parts disagree on their count");
  }
  {
    auto badNumber = parts;
    badNumber[1][9] = static_cast<char>(parts.size());
    SplitReplyAssembler assembler;
    assembler.Take(badNumber[0]);
    EXPECT_EQ(assembler.Take(badNumber[1]).problem, "split reply: bad part number");
  }
  SplitReplyAssembler assembler;
  EXPECT_EQ(assembler.Take("\xFE\xFF\xFF").status, Status::kRejected);
  EXPECT_FALSE(
      SplitReplyAssembler::IsSplitPart("\xFF\xFF\xFF\xFF"
                                       "E\x00\x00\x00\x00"));
}

TEST(SplitReplyAssembler, PendingRepliesAreCapped) {
  SplitReplyAssembler assembler;
  std::vector<std::vector<std::string>> replies;
  for (std::uint32_t id = 1; id <= SplitReplyAssembler::kMaxPendingReplies + 2; ++id) {
    replies.push_back(fake::SplitReplyBySize(LongRulesReply(10), id, 80, false));
    assembler.Take(replies.back()[0]);
    EXPECT_LE(assembler.PendingReplies(), SplitReplyAssembler::kMaxPendingReplies);
  }
  // The oldest was dropped: its remaining parts alone no longer complete it.
  SplitReplyAssembler::Outcome outcome;
  for (std::size_t i = 1; i < replies[0].size(); ++i) outcome = assembler.Take(replies[0][i]);
  EXPECT_EQ(outcome.status, Status::kIncomplete);
  // The newest still completes.
  for (std::size_t i = 1; i < replies.back().size(); ++i) outcome = assembler.Take(replies.back()[i]);
  EXPECT_EQ(outcome.status, Status::kComplete);
}

TEST(SplitReplyAssembler, RandomCutsAndShufflesAlwaysGiveTheReplyBack) {
  std::mt19937 random(12345);
  for (int round = 0; round < 200; ++round) {
    const std::string reply = LongRulesReply(1 + static_cast<int>(random() % 80));
    const bool compress = random() % 2;
    const bool older = !compress && random() % 3 == 0;
    std::vector<std::string> parts;
    if (older) {
      parts = fake::SplitReply(reply, round, 2 + static_cast<int>(random() % 14));
    } else {
      const std::size_t dataSize = compress ? Bzip2Compress(reply).size() + 8 : reply.size();
      const std::size_t partSize = dataSize / (1 + random() % 20) + 1;
      parts = fake::SplitReplyBySize(reply, static_cast<std::uint32_t>(round), partSize, compress);
    }
    std::shuffle(parts.begin(), parts.end(), random);
    SplitReplyAssembler assembler;
    auto outcome = Feed(assembler, parts, InOrder(parts.size()));
    ASSERT_EQ(outcome.status, Status::kComplete)
        << round << " " << outcome.problem << " parts " << parts.size() << (older ? " older" : "")
        << (compress ? " compressed" : "");
    EXPECT_EQ(outcome.reply, reply);
  }
}

// The bitwise definition, one bit at a time.
std::uint32_t ReferenceCrc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char c : bytes) {
    crc ^= static_cast<std::uint8_t>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1u) ? 0xEDB88320u : 0u);
  }
  return ~crc;
}

TEST(Crc32, AgreesWithTheBitwiseDefinition) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // the published check value
  EXPECT_EQ(Crc32(""), 0u);
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string bytes(random() % 600, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    EXPECT_EQ(Crc32(bytes), ReferenceCrc32(bytes));
  }
}

TEST(Bzip2, RoundTripAndRefusals) {
  const std::string text = LongRulesReply(100);
  const std::string packed = Bzip2Compress(text);
  EXPECT_LT(packed.size(), text.size());
  EXPECT_EQ(Bzip2Decompress(packed, text.size()), text);
  EXPECT_FALSE(Bzip2Decompress(packed, text.size() - 1));  // gives more than announced
  EXPECT_FALSE(Bzip2Decompress(packed, text.size() + 1));  // gives less
  EXPECT_FALSE(Bzip2Decompress(packed + "x", text.size()));
  EXPECT_FALSE(Bzip2Decompress(packed.substr(0, packed.size() / 2), text.size()));
  EXPECT_FALSE(Bzip2Decompress("not bzip2 at all", 10));
  EXPECT_EQ(Bzip2Decompress(Bzip2Compress(""), 0), "");
}

}  // namespace
}  // namespace vantrix

#include "core/protocol/RulesCollector.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/util/StrToInt.h"

namespace vantrix {
namespace {

using Lines = std::vector<std::string>;
using Rule = std::pair<std::string, std::string>;

const std::string kMarker("\xFF\xFF\xFF\xFF\x45", 5);

std::string Pairs(const std::vector<Rule>& rules) {
  std::string bytes;
  for (const auto& [name, value] : rules) bytes += name + '\0' + value + '\0';
  return bytes;
}

std::string Reply(const std::vector<Rule>& rules) {
  const auto count = static_cast<std::uint16_t>(rules.size());
  return kMarker + static_cast<char>(count & 0xFF) + static_cast<char>(count >> 8) + Pairs(rules);
}

std::string SplitPart(std::uint32_t number, int part, int total, const std::string& data) {
  std::string d("\xFE\xFF\xFF\xFF", 4);
  for (int i = 0; i < 4; ++i) d += static_cast<char>((number >> (8 * i)) & 0xFF);
  d += static_cast<char>((part << 4) | total);
  return d + data;
}

// A reply cut into `total` pieces at the given offsets, each behind its split header.
std::vector<std::string> SplitReply(std::uint32_t number, const std::string& reply,
                                    std::vector<std::size_t> cuts, int packetByteTotal = -1) {
  cuts.insert(cuts.begin(), 0);
  cuts.push_back(reply.size());
  const int total = static_cast<int>(cuts.size()) - 1;
  std::vector<std::string> parts;
  for (int i = 0; i < total; ++i) {
    const auto from = cuts[static_cast<std::size_t>(i)];
    const auto to = cuts[static_cast<std::size_t>(i) + 1];
    parts.push_back(
        SplitPart(number, i, packetByteTotal < 0 ? total : packetByteTotal, reply.substr(from, to - from)));
  }
  return parts;
}

Lines Expected(const std::vector<Rule>& rules) {
  Lines lines;
  for (const auto& [name, value] : rules) lines.push_back(name + " - " + value);
  return lines;
}

// The buffer rule as first written for this window, kept literally: a datagram with the
// marker replaces the buffer, any other one is appended after its first 9 bytes and the
// buffer is decoded at once. No caps: the tests that compare keep their streams short.
class LiteralCollector {
 public:
  Lines Receive(const std::string& d) {
    if (d.find(kMarker) != std::string::npos) {
      m_a = d;
      return {};
    }
    if (d.size() > 9) m_a += d.substr(9);
    const auto m = m_a.find(kMarker);
    m_a.erase(0, std::min(m_a.size(), m == std::string::npos ? std::size_t{6} : m + 7));
    Lines lines;
    if (m_a.find('\0') == std::string::npos) return lines;
    for (int guard = 0; guard < 100000; ++guard) {
      std::string name;
      auto zero = m_a.find('\0');
      if (zero != std::string::npos) {
        name = m_a.substr(0, zero);
        m_a.erase(0, zero + 1);
      }
      std::string value;
      zero = m_a.find('\0');
      const bool found = zero != std::string::npos;
      if (found) {
        value = m_a.substr(0, zero);
        m_a.erase(0, zero + 1);
      }
      if (!name.empty()) lines.push_back(name + " - " + value);
      if (!found) break;
    }
    return lines;
  }

 private:
  std::string m_a;
};

const std::vector<Rule> kRules{{"mp_friendlyfire", "0"},      {"sv_gravity", "800"},
                               {"mp_timelimit", "25"},        {"sv_password", ""},
                               {"hostname", "Den \xE9t\xE9"}, {"mp_c4timer", "35"}};

TEST(RulesCollector, RequestIsTwentyFiveBytes) {
  const std::string_view request = RulesCollector::Request();
  ASSERT_EQ(request.size(), 25u);
  EXPECT_EQ(request.substr(0, 5), std::string_view("\xFF\xFF\xFF\xFF\x56", 5));
  EXPECT_EQ(request.substr(5, 19), "Source Engine Query");
  EXPECT_EQ(request[24], '\0');
}

TEST(RulesCollector, PairRules) {
  std::string a = Pairs({{"sv_gravity", "800"}, {"", "skipped"}, {"mp_a", ""}}) + "tail";
  EXPECT_EQ(RulesCollector::DecodePairs(a), (Lines{"sv_gravity - 800", "mp_a - "}));
  EXPECT_EQ(a, "tail");  // an unended name stays for later

  std::string nameOnly = std::string("rate\0", 5);
  EXPECT_EQ(RulesCollector::DecodePairs(nameOnly), Lines{"rate - "});
  // A name whose value is not ended: "name - ", the value's bytes stay.
  std::string openValue = std::string("rate\0", 5) + "2500";
  EXPECT_EQ(RulesCollector::DecodePairs(openValue), Lines{"rate - "});
  EXPECT_EQ(openValue, "2500");
  // No zero byte at all: nothing read, nothing consumed.
  std::string noZero = "abc";
  EXPECT_TRUE(RulesCollector::DecodePairs(noZero).empty());
  EXPECT_EQ(noZero, "abc");
  std::string empty;
  EXPECT_TRUE(RulesCollector::DecodePairs(empty).empty());
}

TEST(RulesCollector, TwoPartsInOrderShowEveryRuleAtEveryCut) {
  const std::string reply = Reply(kRules);
  // Every cut from just after the marker to the last byte, the in-order case included
  // where a rule is cut between the two datagrams.
  for (std::size_t cut = 5; cut < reply.size(); ++cut) {
    SCOPED_TRACE(cut);
    const auto parts = SplitReply(0x01020304u, reply, {cut});
    RulesCollector collector;
    LiteralCollector literal;
    EXPECT_TRUE(collector.Receive(parts[0]).empty());
    literal.Receive(parts[0]);
    const Lines lines = collector.Receive(parts[1]);
    EXPECT_EQ(lines, Expected(kRules));
    EXPECT_EQ(lines, literal.Receive(parts[1]));
    EXPECT_EQ(collector.Lines(), Expected(kRules));
    EXPECT_EQ(collector.BufferSize() + collector.PendingBytes(), 0u);
  }
}

TEST(RulesCollector, ARuleCutBetweenTwoDatagrams) {
  const std::string body = Pairs({{"sv_gravity", "800"}, {"mp_timelimit", "25"}});
  const std::string reply = kMarker + std::string("\x02\x00", 2) + body;
  const auto cut = reply.find("limit");
  RulesCollector collector;
  EXPECT_TRUE(collector.Receive(SplitPart(77, 0, 2, reply.substr(0, cut))).empty());
  EXPECT_EQ(collector.Receive(SplitPart(77, 1, 2, reply.substr(cut))),
            (Lines{"sv_gravity - 800", "mp_timelimit - 25"}));
}

TEST(RulesCollector, ASecondServerShowsOnlyItsOwnRules) {
  const std::vector<Rule> first{{"a_first", "1"}, {"b_first", "2"}};
  const std::vector<Rule> second{{"a_second", "3"}, {"b_second", "4"}};
  const auto firstParts = SplitReply(100, Reply(first), {12});
  const auto secondParts = SplitReply(200, Reply(second), {14});

  RulesCollector collector;
  EXPECT_EQ(collector.RequestRules("127.0.0.1:27015"), (RequestTarget{"127.0.0.1", 27015}));
  collector.Receive(firstParts[0]);
  collector.Receive(firstParts[1]);
  ASSERT_EQ(collector.Lines(), Expected(first));

  collector.RequestRules("127.0.0.2:27016");
  EXPECT_TRUE(collector.Lines().empty());
  collector.Receive(secondParts[0]);
  collector.Receive(secondParts[1]);
  EXPECT_EQ(collector.Lines(), Expected(second));
}

TEST(RulesCollector, ARequestDropsTheHalfCollectedReply) {
  const std::vector<Rule> first{{"old_rule", "1"}, {"old_more", "2"}};
  const std::vector<Rule> second{{"new_rule", "3"}, {"new_more", "4"}};
  // Both servers happen to use the same request number: parts from before the request
  // must not be joined with parts from after it.
  const auto firstParts = SplitReply(9, Reply(first), {10});
  const auto secondParts = SplitReply(9, Reply(second), {16});

  RulesCollector collector;
  collector.RequestRules("127.0.0.1:27015");
  collector.Receive(firstParts[0]);
  collector.RequestRules("127.0.0.2:27015");
  EXPECT_EQ(collector.PendingBytes(), 0u);
  collector.Receive(secondParts[0]);
  collector.Receive(secondParts[1]);
  EXPECT_EQ(collector.Lines(), Expected(second));
}

TEST(RulesCollector, RequestWithoutColonOrWithABadPort) {
  RulesCollector collector;
  collector.Receive(Reply({{"x", "1"}}));
  ASSERT_FALSE(collector.Lines().empty());
  EXPECT_FALSE(collector.RequestRules("127.0.0.1"));
  EXPECT_TRUE(collector.Lines().empty());
  collector.Receive(Reply({{"x", "1"}}));
  EXPECT_THROW(collector.RequestRules("127.0.0.1:port"), ConversionError);
  EXPECT_TRUE(collector.Lines().empty());
}

TEST(RulesCollector, AReplyInOneDatagramIsShownAtOnce) {
  RulesCollector collector;
  EXPECT_EQ(collector.Receive(Reply(kRules)), Expected(kRules));
  EXPECT_EQ(collector.BufferSize(), 0u);
  // A later datagram without the marker does not bring the same rules back.
  EXPECT_TRUE(collector.Receive(std::string(9, '\x01')).empty());
  EXPECT_EQ(collector.Lines(), Expected(kRules));
  // A "split" of one part is taken as a plain packet number: stored until its continuation.
  EXPECT_TRUE(collector.Receive(SplitPart(5, 0, 1, Reply({{"solo", "1"}}))).empty());
  EXPECT_EQ(collector.Receive(SplitPart(5, 0, 2, "")), Lines{"solo - 1"});
}

// Servers that number their packets plainly (0 then 1, 1 then 2, ...) instead of putting a
// part number and total in the byte: the parts are joined as the buffer rule joins them when
// the byte reads as no usable split or as a first part without the reply's marker. (Pairs
// such as 0x12 then 0x13, which read as fitting numbered parts, are still taken as such.)
TEST(RulesCollector, PlainPacketNumbersAreJoinedInOrder) {
  const std::string reply = Reply(kRules);
  for (int first : {0, 1, 2, 3, 0x10, 0x21}) {
    for (std::size_t cut : {std::size_t{9}, reply.find("gravity") + 3, reply.find("800"), reply.size() - 3}) {
      SCOPED_TRACE(first);
      SCOPED_TRACE(cut);
      auto parts = SplitReply(8, reply, {cut});
      parts[0][8] = static_cast<char>(first);
      parts[1][8] = static_cast<char>(first + 1);
      RulesCollector collector;
      collector.Receive(parts[0]);
      collector.Receive(parts[1]);
      EXPECT_EQ(collector.Lines(), Expected(kRules));
      EXPECT_EQ(collector.PendingBytes(), 0u);
    }
  }
  // Three plainly numbered parts, from 0 and from 1.
  for (int first : {0, 1}) {
    SCOPED_TRACE(first);
    auto parts = SplitReply(9, reply, {reply.find("gravity"), reply.find("800") + 1});
    for (int i = 0; i < 3; ++i) parts[static_cast<std::size_t>(i)][8] = static_cast<char>(first + i);
    RulesCollector collector;
    LiteralCollector literal;
    for (const auto& part : parts) EXPECT_EQ(collector.Receive(part), literal.Receive(part));
    EXPECT_EQ(collector.Lines().front(), Expected(kRules).front());
  }
}

TEST(RulesCollector, ThreePartsInAnyOrder) {
  const std::string reply = Reply(kRules);
  // Cuts inside a name and inside a value.
  const auto parts = SplitReply(0xCAFEu, reply, {reply.find("gravity"), reply.find("25") + 1});
  std::vector<int> order{0, 1, 2};
  int orders = 0;
  do {
    SCOPED_TRACE(::testing::PrintToString(order));
    RulesCollector collector;
    EXPECT_TRUE(collector.Receive(parts[static_cast<std::size_t>(order[0])]).empty());
    EXPECT_TRUE(collector.Receive(parts[static_cast<std::size_t>(order[1])]).empty());
    EXPECT_EQ(collector.Receive(parts[static_cast<std::size_t>(order[2])]), Expected(kRules));
    ++orders;
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ(orders, 6);
}

TEST(RulesCollector, DuplicatePartsAreIgnored) {
  const auto parts = SplitReply(42, Reply(kRules), {20, 40});
  RulesCollector collector;
  collector.Receive(parts[0]);
  collector.Receive(parts[0]);
  collector.Receive(parts[2]);
  collector.Receive(parts[2]);
  EXPECT_TRUE(collector.Lines().empty());
  collector.Receive(parts[1]);
  EXPECT_EQ(collector.Lines(), Expected(kRules));
  // The whole reply again (a repeated datagram stream) is not shown twice.
  for (const auto& part : parts) EXPECT_TRUE(collector.Receive(part).empty());
  EXPECT_EQ(collector.Lines(), Expected(kRules));
  EXPECT_EQ(collector.PendingBytes(), 0u);
}

TEST(RulesCollector, RepliesOfSeveralRequestNumbersCollectSideBySide) {
  const std::vector<Rule> a{{"from_a", "1"}};
  const std::vector<Rule> b{{"from_b", "2"}};
  const auto partsA = SplitReply(1, Reply(a), {8});
  const auto partsB = SplitReply(2, Reply(b), {9});
  RulesCollector collector;
  collector.Receive(partsA[0]);
  collector.Receive(partsB[0]);
  EXPECT_EQ(collector.Receive(partsA[1]), Expected(a));
  EXPECT_EQ(collector.Receive(partsB[1]), Expected(b));

  // Parts that disagree about the total start the reply over.
  const auto threeParts = SplitReply(3, Reply(kRules), {10, 30});
  collector.Receive(SplitPart(3, 0, 2, kMarker + "garbage"));
  for (const auto& part : threeParts) collector.Receive(part);
  EXPECT_EQ(collector.Lines().back(), Expected(kRules).back());
  EXPECT_EQ(collector.Lines().size(), 2 + kRules.size());
}

TEST(RulesCollector, TheBufferIsCappedBySizeAndByDatagrams) {
  RulesCollector collector;
  // A name cut at the end of the first part, then continuations without any zero byte:
  // the buffer keeps growing with them until a cap is passed.
  const std::string head = kMarker + std::string("\x01\x00", 2) + "cutname";
  collector.Receive(SplitPart(1, 0, 0, head));  // packet byte without a total: the buffer rule
  const std::string filler(100, 'x');
  for (int i = 0; i < RulesCollector::kMaxContinuations; ++i) {
    EXPECT_TRUE(collector.Receive(SplitPart(1, 0, 0, filler)).empty());
  }
  EXPECT_GT(collector.BufferSize(), 1000u);
  // One more continuation passes the datagram cap: the buffer starts over with it alone
  // (its first 6 bytes dropped as for any continuation), instead of "cutname..." + "ab".
  EXPECT_EQ(collector.Receive(SplitPart(1, 0, 0, std::string("123456ab\0cd\0", 12))), Lines{"ab - cd"});
  EXPECT_EQ(collector.BufferSize(), 0u);

  // Size: big continuations without zero bytes never take the buffer past the cap.
  const std::string big(20000, 'y');
  for (int i = 0; i < 10; ++i) {
    collector.Receive(SplitPart(2, 0, 0, big));
    EXPECT_LE(collector.BufferSize(), RulesCollector::kMaxBuffer);
  }
  EXPECT_LT(collector.BufferSize(), 3 * big.size());

  // Split parts: a reply too big to hold is dropped; a smaller one still comes through.
  for (int part = 0; part < 14; ++part) {
    collector.Receive(SplitPart(3, part, 15, std::string(5000, 'z')));
    EXPECT_LE(collector.PendingBytes(), RulesCollector::kMaxBuffer);
  }
  EXPECT_TRUE(collector.Receive(SplitPart(3, 14, 15, "end")).empty());
  const auto parts = SplitReply(4, Reply({{"after", "cap"}}), {9});
  collector.Receive(parts[0]);
  EXPECT_EQ(collector.Receive(parts[1]), Lines{"after - cap"});
}

TEST(RulesCollector, UnusablePacketBytesFallBackToTheBufferRule) {
  const std::string reply = Reply(kRules);
  // 0x00: no total; 0x11 and 0x52: a part number that does not fit its total.
  for (int packetTotal : {0x00, 0x11, 0x52}) {
    for (std::size_t cut : {std::size_t{9}, reply.find("800"), reply.size() - 3}) {
      SCOPED_TRACE(packetTotal);
      SCOPED_TRACE(cut);
      auto parts = SplitReply(8, reply, {cut});
      for (auto& part : parts) part[8] = static_cast<char>(packetTotal);
      RulesCollector collector;
      LiteralCollector literal;
      for (const auto& part : parts) EXPECT_EQ(collector.Receive(part), literal.Receive(part));
      EXPECT_EQ(collector.Lines(), Expected(kRules));
      // Continuation first: decoded from the continuation alone, the first part then stored.
      RulesCollector reversed;
      LiteralCollector literalReversed;
      EXPECT_EQ(reversed.Receive(parts[1]), literalReversed.Receive(parts[1]));
      EXPECT_TRUE(reversed.Receive(parts[0]).empty());
    }
  }
}

// Datagrams that the buffer rule takes: neither starting with the marker nor a split part
// with a usable packet byte.
std::string BufferRuleDatagram(std::mt19937& rng) {
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> letter('a', 'e');
  std::string d;
  const int kind = percent(rng);
  if (kind < 50) {
    d = SplitPart(static_cast<std::uint32_t>(rng()), 0, 0, "");
    d[8] = static_cast<char>(percent(rng) < 50 ? 0 : 0x30 | (percent(rng) % 3));
  } else {
    d = std::string(9, static_cast<char>(letter(rng)));
  }
  if (kind < 25 || (kind >= 50 && kind < 60)) d += kMarker + std::string("\x01\x00", 2);
  const int pieces = percent(rng) % 8;
  for (int i = 0; i < pieces; ++i) {
    d += std::string(static_cast<std::size_t>(percent(rng) % 5), static_cast<char>(letter(rng)));
    d += '\0';
  }
  if (percent(rng) < 50) d += std::string(static_cast<std::size_t>(percent(rng) % 4), 'z');
  return d;
}

TEST(RulesCollector, TheBufferRuleMatchesTheLiteralOneOnRandomStreams) {
  std::mt19937 rng(99);
  for (int stream = 0; stream < 3000; ++stream) {
    RulesCollector collector;
    LiteralCollector literal;
    for (int i = 0; i < 12; ++i) {
      const std::string d = BufferRuleDatagram(rng);
      ASSERT_EQ(collector.Receive(d), literal.Receive(d)) << "stream " << stream << " datagram " << i;
    }
  }
}

TEST(RulesCollector, RandomAndMutatedDatagramsKeepTheInvariants) {
  std::mt19937 rng(31337);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> percent(0, 99);
  RulesCollector collector;
  std::size_t shown = 0;
  for (int round = 0; round < 100000; ++round) {
    std::string d;
    const int kind = percent(rng);
    if (kind < 30) {
      const int length = std::uniform_int_distribution<int>(0, 120)(rng);
      for (int i = 0; i < length; ++i) d += static_cast<char>(byte(rng));
      if (percent(rng) < 50) d.replace(0, std::min<std::size_t>(4, d.size()), "\xFE\xFF\xFF\xFF");
    } else if (kind < 35) {
      // Large datagrams without zero bytes push at the caps.
      d = SplitPart(static_cast<std::uint32_t>(percent(rng) % 3), percent(rng) % 16, percent(rng) % 16,
                    std::string(static_cast<std::size_t>(byte(rng)) * 40, 'w'));
    } else {
      std::vector<Rule> rules(static_cast<std::size_t>(percent(rng) % 10));
      for (auto& [name, value] : rules) {
        name = std::string(static_cast<std::size_t>(percent(rng) % 6),
                           static_cast<char>('a' + percent(rng) % 26));
        value = std::to_string(rng() % 1000);
      }
      const std::string reply = Reply(rules);
      const int total = 1 + percent(rng) % 4;
      std::vector<std::size_t> cuts;
      for (int i = 1; i < total; ++i)
        cuts.push_back(std::uniform_int_distribution<std::size_t>(0, reply.size())(rng));
      std::sort(cuts.begin(), cuts.end());
      auto parts = SplitReply(static_cast<std::uint32_t>(percent(rng) % 5), reply, cuts);
      d = parts[static_cast<std::size_t>(percent(rng)) % parts.size()];
      if (percent(rng) < 50) d = Reply(rules);
      for (int flips = percent(rng) % 3; flips > 0 && !d.empty(); --flips) {
        d[std::uniform_int_distribution<std::size_t>(0, d.size() - 1)(rng)] = static_cast<char>(byte(rng));
      }
      if (percent(rng) < 20) d.resize(std::uniform_int_distribution<std::size_t>(0, d.size())(rng));
    }
    const std::size_t before = collector.BufferSize() + collector.PendingBytes() + d.size();
    const Lines lines = collector.Receive(d);
    ASSERT_LE(collector.BufferSize(), RulesCollector::kMaxBuffer);
    ASSERT_LE(collector.PendingBytes(), RulesCollector::kMaxBuffer);
    // Each line needs at least a one-byte name and its zero byte.
    ASSERT_LE(lines.size(), before / 2 + 1) << round;
    for (const auto& line : lines) {
      ASSERT_NE(line.find(" - "), std::string::npos) << round;
      ASSERT_EQ(line.find('\0'), std::string::npos) << round;
      ASSERT_GE(line.size(), 4u) << round;
    }
    shown += lines.size();
    ASSERT_EQ(collector.Lines().size(), shown);
    if (round % 1000 == 999) {
      collector.RequestRules("127.0.0.1:27015");
      shown = 0;
    }
  }
}

}  // namespace
}  // namespace vantrix

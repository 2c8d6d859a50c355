#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "core/join/JoinCommand.h"
#include "core/protocol/CurrentInfoReply.h"
#include "core/protocol/CurrentRequests.h"
#include "core/protocol/InfoRequest.h"
#include "core/table/RowCheckFacts.h"
#include "fake/FakeReplies.h"
#include "support/FakeQueryWorld.h"

namespace vantrix {
namespace {

using namespace std::string_literals;
using test::FakeQueryWorld;

std::string CurrentReply(const std::string& name, std::uint8_t players = 7, std::uint8_t environment = 'w') {
  fake::CurrentInfoFields fields;
  fields.name = name;
  fields.map = "cs_office";
  fields.players = players;
  fields.maxPlayers = 24;
  fields.serverType = 'l';
  fields.environment = environment;
  fields.visibility = 1;
  return fake::BuildCurrentInfoReply(fields);
}

// A server of today: the request without the challenge gets the challenge, the one that
// carries it gets `reply`; the original request gets nothing.
std::function<std::string(std::string_view)> Challenging(std::uint32_t challenge, std::string reply) {
  return [challenge, reply](std::string_view request) -> std::string {
    if (!request.starts_with(CurrentInfoRequest())) return {};
    if (RequestChallenge(request, kCurrentInfoText.size()) == challenge) return reply;
    return fake::BuildChallengeReply(challenge);
  };
}

class QueryCurrentProtocolTest : public ::testing::Test {
 protected:
  QueryCurrentProtocolTest() { w.settings.queryProtocol = QueryProtocol::kCurrent; }
  RowId Add(const std::string& address) { return w.table.IdOf(w.AddRow(address)); }
  void Query(RowId id) { w.engine.QueryServer(std::string(w.table.Address(*w.Find(id))), id); }
  std::string_view Cell(RowId id, int cell) { return w.CellOf(id, cell); }

  FakeQueryWorld w;
};

TEST_F(QueryCurrentProtocolTest, AChallengeIsAnsweredWithinTheSameWaitAndTheReplyFillsTheCells) {
  const RowId id = Add("10.0.0.5:27015");
  w.Serve("10.0.0.5", 27015, "", 3).answer = Challenging(0xCAFEF00Du, CurrentReply("Bravo"));
  Query(id);

  ASSERT_EQ(w.sender.Sent().size(), 2u);
  EXPECT_EQ(w.sender.Sent()[0].bytes, "\xFF\xFF\xFF\xFFTSource Engine Query\0"s);
  EXPECT_EQ(w.sender.Sent()[1].bytes, "\xFF\xFF\xFF\xFFTSource Engine Query\0\x0D\xF0\xFE\xCA"s);
  EXPECT_EQ(w.timer.Starts(), 1);  // one time-out for the whole query
  EXPECT_EQ(Cell(id, kWCell), "+");
  EXPECT_EQ(Cell(id, kPingCell), "15");  // from the second send: three slices of 5 ms
  EXPECT_EQ(Cell(id, kNameCell), "Bravo");
  EXPECT_EQ(Cell(id, kMapCell), "cs_office");
  EXPECT_EQ(Cell(id, kPlayersCell), "7/24");
  EXPECT_EQ(Cell(id, kDCell), "L");
  EXPECT_EQ(Cell(id, kSCell), "W");
  EXPECT_EQ(Cell(id, kPCell), "+");
  EXPECT_EQ(w.status.Panel(1), "recv 2");  // the challenge is counted and logged too
  EXPECT_EQ(w.logged.size(), 2u);
  // The wait ended with the reply, long before the time-out.
  EXPECT_LT(w.clock.Now() - 1000, 100u);
}

TEST_F(QueryCurrentProtocolTest, AServerThatKeepsChallengingEndsAsMinusAfterTwoRounds) {
  const RowId id = Add("10.0.0.5:27015");
  std::uint32_t next = 1;
  w.Serve("10.0.0.5", 27015, "", 1).answer = [&next](std::string_view) {
    return fake::BuildChallengeReply(next++);
  };
  Query(id);
  EXPECT_EQ(w.sender.Sent().size(), 1u + QueryEngine::kMaxChallengeRounds);
  EXPECT_EQ(Cell(id, kWCell), "-");
  EXPECT_GE(w.clock.Now() - 1000, QueryEngine::kTimeoutMilliseconds);
}

TEST_F(QueryCurrentProtocolTest, TheOriginalRequestIsNotSentAndOriginalRepliesAreStillDecoded) {
  const RowId id = Add("10.0.0.5:27015");
  w.Serve("10.0.0.5", 27015, test::SampleInfoReply("Old", "de_nuke", 3, 10, 'd', 'l', 0), 2);
  Query(id);
  ASSERT_EQ(w.sender.Sent().size(), 1u);
  EXPECT_NE(w.sender.Sent()[0].bytes, kInfoRequest);
  EXPECT_EQ(Cell(id, kNameCell), "Old");
  EXPECT_EQ(Cell(id, kPlayersCell), "3/10");
}

TEST_F(QueryCurrentProtocolTest, ChallengesAndRepliesFromAddressesNeverAskedChangeNothing) {
  const RowId id = Add("10.0.0.5:27015");
  w.Serve("10.0.0.5", 27015, CurrentReply("Mine"), 6);
  // In passes 1..5: a stranger's challenge, the asked host from another port, a stranger's reply.
  w.DeliverLater(1, fake::BuildChallengeReply(1), "10.0.0.9", 27015);
  w.DeliverLater(2, fake::BuildChallengeReply(2), "10.0.0.5", 27016);
  w.DeliverLater(3, CurrentReply("Stranger"), "10.0.0.9", 27015);
  Query(id);
  EXPECT_EQ(w.sender.Sent().size(), 1u);  // nobody's challenge was answered
  EXPECT_EQ(Cell(id, kNameCell), "Mine");
  EXPECT_EQ(Cell(id, kPingCell), "30");
  EXPECT_EQ(w.status.Panel(1), "recv 4");
  // After the wait a stranger's reply goes nowhere.
  w.Deliver(CurrentReply("Late stranger"), "10.0.0.10", 27015);
  EXPECT_EQ(Cell(id, kNameCell), "Mine");
}

TEST_F(QueryCurrentProtocolTest, AReplyEndsOnlyTheWaitOfTheRowItAnswers) {
  const RowId asked = Add("10.0.0.5:27015");
  const RowId other = Add("10.0.0.6:27015");
  w.Serve("10.0.0.5", 27015, CurrentReply("Asked"), 10);
  w.DeliverLater(2, CurrentReply("Other"), "10.0.0.6", 27015);
  Query(asked);
  EXPECT_EQ(Cell(other, kNameCell), "Other");
  EXPECT_EQ(Cell(asked, kNameCell), "Asked");
  EXPECT_EQ(Cell(asked, kPingCell), "50");  // the wait went on to the asked server's reply

  // The original protocol keeps its rule: any decoded reply ends the running wait.
  FakeQueryWorld original;
  const RowId first = original.table.IdOf(original.AddRow("10.0.0.5:27015"));
  original.AddRow("10.0.0.6:27015");
  original.Serve("10.0.0.5", 27015, test::SampleInfoReply("Asked"), 10);
  original.DeliverLater(2, test::SampleInfoReply("Other"), "10.0.0.6", 27015);
  original.engine.QueryServer("10.0.0.5:27015", first);
  EXPECT_EQ(original.CellOf(first, kNameCell), " ");
  EXPECT_EQ(original.clock.Now() - 1000, 10u);
}

// Read as the checker reads it: a reply cut before its counts is refused (the row keeps
// its cells and the query times out); one cut after them brings what it carries.
TEST_F(QueryCurrentProtocolTest, ACutShortReplyIsReadAsTheCheckerReadsIt) {
  const RowId id = Add("10.0.0.5:27015");
  const std::string full = CurrentReply("Cut", 4, 'w');
  const std::size_t countsEnd = full.find("1.0.0.0") - 5;  // bots, type, system, visibility, secure
  struct Case {
    const char* what;
    std::string reply;
    const char* name;
    const char* players;
    const char* w;
  };
  const Case cases[] = {
      {"between the counts", full.substr(0, countsEnd - 1), "Full", "9/24", "-"},
      {"without a zero byte", "\xFF\xFF\xFF\xFFI\x11Nameless"s, "Full", "9/24", "-"},
      {"after the counts", full.substr(0, countsEnd), "Cut", "4/24", "+"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    w.Serve("10.0.0.5", 27015, CurrentReply("Full", 9, 'l'), 1);
    Query(id);
    ASSERT_EQ(Cell(id, kSCell), "L");
    w.Serve("10.0.0.5", 27015, c.reply, 1);
    Query(id);
    EXPECT_EQ(Cell(id, kNameCell), c.name);
    EXPECT_EQ(Cell(id, kPlayersCell), c.players);
    EXPECT_EQ(Cell(id, kWCell), c.w);
    EXPECT_EQ(Cell(id, kSCell), "L");  // no reply here carries the system letter
    EXPECT_EQ(Cell(id, kPCell), "+");
  }
}

// A split 'I' reply from the server asked is put back together by F9 and F10 as by the
// parallel check, in either header, compressed or not.
TEST_F(QueryCurrentProtocolTest, ASplitReplyIsPutBackTogether) {
  const RowId id = Add("10.0.0.5:27015");
  const std::string reply = CurrentReply(std::string(600, 'n'));
  const std::vector<std::vector<std::string>> splits{fake::SplitReplyBySize(reply, 9, 200, false),
                                                     fake::SplitReply(reply, 9, 3),
                                                     fake::SplitReplyBySize(reply, 0x10, 100, true)};
  for (const auto& parts : splits) {
    w.table.SetCell(*w.Find(id), kNameCell, " ");
    w.Serve("10.0.0.5", 27015, parts.back(), 1);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) w.DeliverLater(2, parts[i], "10.0.0.5", 27015);
    w.engine.CheckAll();
    EXPECT_EQ(Cell(id, kNameCell), std::string(600, 'n'));
    EXPECT_EQ(Cell(id, kWCell), "+");
  }
}

TEST_F(QueryCurrentProtocolTest, AFloodOfChallengesDuringCheckAllMarksNoRowAndTheRunGoesOn) {
  std::vector<RowId> ids;
  for (int i = 0; i < 4; ++i) {
    const std::string host = "10.0.1." + std::to_string(i + 1);
    ids.push_back(Add(host + ":27015"));
    w.Serve(host, 27015, "", 2).answer =
        Challenging(0x100u + static_cast<std::uint32_t>(i), CurrentReply("Server " + std::to_string(i)));
  }
  // Every pass brings challenges from strangers (and from a row's host on a wrong port).
  long flooded = 0;
  w.pump.SetPassHook([&](long) {
    if (flooded >= 2000) return;
    for (int k = 0; k < 5; ++k, ++flooded)
      w.Deliver(fake::BuildChallengeReply(static_cast<std::uint32_t>(flooded)),
                k == 0 ? "10.0.1.1" : "192.0.2." + std::to_string(k), k == 0 ? 27999 : 27015);
  });
  w.engine.CheckAll();
  EXPECT_EQ(w.sender.Sent().size(), 8u);  // two per row: the request and its challenge round
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(Cell(ids[i], kNameCell), "Server " + std::to_string(i));
    EXPECT_EQ(Cell(ids[i], kWCell), "+");
  }
  EXPECT_EQ(w.status.Message(), "Idle...");
  EXPECT_GT(flooded, 0);
}

}  // namespace
}  // namespace vantrix

namespace vantrix {
namespace {

// The game port a reply announces decides where a join goes, while it differs from the port
// asked, until the next reply or an edit of the address.
TEST_F(QueryCurrentProtocolTest, TheGamePortOfTheLastReplyIsKeptForJoiningTheRow) {
  RowCheckFacts facts;
  w.engine.SetCheckFacts(&facts);
  const RowId id = Add("10.0.0.5:27015");
  const auto replyWithPort = [](std::optional<std::uint16_t> port) {
    fake::CurrentInfoFields fields;
    fields.name = "Game";
    if (port) {
      fields.extraFlags = kExtraPort;
      fields.port = *port;
    }
    return fake::BuildCurrentInfoReply(fields);
  };
  const auto joinAddress = [&] {
    const std::string address(w.table.Address(*w.Find(id)));
    const JoinTarget target = JoinTargetOf(address, facts.GamePort(id, address), "");
    return target.host + ":" + target.port;
  };

  w.Serve("10.0.0.5", 27015, replyWithPort(27016));
  Query(id);
  EXPECT_EQ(joinAddress(), "10.0.0.5:27016");
  w.Serve("10.0.0.5", 27015, replyWithPort(27015));
  Query(id);
  EXPECT_EQ(joinAddress(), "10.0.0.5:27015");
  EXPECT_EQ(facts.Size(), 0u);  // nothing kept for a server that plays where it answers

  w.Serve("10.0.0.5", 27015, replyWithPort(27020));
  Query(id);
  EXPECT_EQ(joinAddress(), "10.0.0.5:27020");
  w.Serve("10.0.0.5", 27015, replyWithPort(std::nullopt));
  Query(id);
  EXPECT_EQ(joinAddress(), "10.0.0.5:27015");

  w.Serve("10.0.0.5", 27015, replyWithPort(27020));
  Query(id);
  w.table.SetAddress(*w.Find(id), "10.0.0.5:27015 ");
  EXPECT_EQ(facts.GamePort(id, w.table.Address(*w.Find(id))), std::nullopt);  // an edit forgets it
  w.table.SetAddress(*w.Find(id), "10.0.0.5:27015");
  w.settings.queryProtocol = QueryProtocol::kOriginal;
  w.Serve("10.0.0.5", 27015, test::SampleInfoReply());
  Query(id);
  EXPECT_EQ(joinAddress(), "10.0.0.5:27015");  // an original reply carries none
}

}  // namespace
}  // namespace vantrix

#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "core/protocol/InfoRequest.h"
#include "core/util/EIdException.h"
#include "support/FakeQueryWorld.h"

namespace vantrix {
namespace {

using namespace std::string_literals;
using test::FakeQueryWorld;
using test::SampleInfoReply;

constexpr std::uint32_t kStart = 1000;  // the fake clock's first reading

class QueryServerTest : public ::testing::Test {
 protected:
  RowId Add(const std::string& address) { return w.table.IdOf(w.AddRow(address)); }
  void Query(RowId id) { w.engine.QueryServer(std::string(w.table.Address(*w.Find(id))), id); }
  std::string_view Cell(RowId id, int cell) { return w.CellOf(id, cell); }

  FakeQueryWorld w;
};

// --- a server that answers ---------------------------------------------------------

TEST_F(QueryServerTest, AnAnswerFillsTheRowAndEndsTheWaitAtOnce) {
  const RowId id = Add("10.0.0.5:27015");
  w.Serve("10.0.0.5", 27015, SampleInfoReply("Alpha", "de_dust2", 12, 20, 'd', 'l', 1), 3);
  Query(id);

  ASSERT_EQ(w.sender.Sent().size(), 1u);
  EXPECT_EQ(w.sender.Sent()[0].bytes, kInfoRequest);
  EXPECT_EQ(w.sender.Sent()[0].port, 27015);
  EXPECT_EQ(Cell(id, kWCell), "+");
  EXPECT_EQ(Cell(id, kPingCell), std::to_string(3 * 5));  // three slices of 5 ms
  EXPECT_EQ(Cell(id, kNameCell), "Alpha");
  EXPECT_EQ(Cell(id, kMapCell), "de_dust2");
  EXPECT_EQ(Cell(id, kPlayersCell), "12/20");
  EXPECT_EQ(Cell(id, kDCell), "D");
  EXPECT_EQ(Cell(id, kSCell), "L");
  EXPECT_EQ(Cell(id, kPCell), "+");
  EXPECT_EQ(Cell(id, kCommentCell), " ");
  EXPECT_EQ(w.table.Address(0), "10.0.0.5:27015");
  // The reply came in the third pass; then one more processing of events.
  EXPECT_EQ(w.sleeper.Count(), 3u);
  EXPECT_EQ(w.pump.Passes(), 4);
  EXPECT_FALSE(w.engine.AwaitingReply());
  EXPECT_EQ(w.engine.LastReceiveTime(), kStart + 15);
  EXPECT_EQ(w.engine.LastPlayers(), 12);
  EXPECT_EQ(w.engine.LastMaxPlayers(), 20);
  EXPECT_EQ(w.status.Panel(1), "recv 1");
}

TEST_F(QueryServerTest, TimerAndSendTimeAreTakenBeforeTheSend) {
  const RowId id = Add("10.0.0.5:27015");
  w.clock.SetStepPerReading(1);
  bool checked = false;
  w.sender.SetOnSend([&](const test::SentDatagram&) {
    checked = true;
    EXPECT_TRUE(w.timer.Active());
    EXPECT_EQ(w.timer.Interval(), 400u);
    EXPECT_EQ(w.timer.Starts(), 1);
    EXPECT_EQ(w.timer.Stops(), 1);  // stopped, then started
    EXPECT_TRUE(w.engine.AwaitingReply());
    EXPECT_FALSE(w.engine.TimedOut());
    EXPECT_EQ(w.engine.LastSendTime(), kStart);  // one reading outside a run
  });
  Query(id);
  EXPECT_TRUE(checked);
  EXPECT_EQ(Cell(id, kWCell), "-");
}

TEST_F(QueryServerTest, ThePingIsMeasuredFromTheArrivalReading) {
  const RowId id = Add("10.0.0.5:27015");
  w.Serve("10.0.0.5", 27015, SampleInfoReply(), 4).arrivalLag = 7;  // arrived 7 ms before it was handled
  Query(id);
  EXPECT_EQ(Cell(id, kPingCell), std::to_string(4 * 5 - 7));
  EXPECT_EQ(w.engine.LastReceiveTime(), kStart + 20 - 7);
}

TEST_F(QueryServerTest, AnArrivalBeforeTheSendUsesTheHandlersReading) {
  const RowId id = Add("10.0.0.5:27015");
  // A reply stamped 30 ms before the request went out (it answered an earlier one).
  w.Serve("10.0.0.5", 27015, SampleInfoReply(), 2).arrivalLag = 30;
  Query(id);
  EXPECT_EQ(Cell(id, kPingCell), "10");
  EXPECT_EQ(w.engine.LastReceiveTime(), kStart + 10);
}

TEST_F(QueryServerTest, ThePingWrapsWithTheCounter) {
  const RowId id = Add("10.0.0.5:27015");
  w.clock.Set(0xFFFFFFF0u);
  w.Serve("10.0.0.5", 27015, SampleInfoReply(), 6);
  Query(id);
  EXPECT_EQ(Cell(id, kPingCell), "30");
  EXPECT_EQ(w.engine.LastReceiveTime(), 0x0000000Eu);
}

TEST_F(QueryServerTest, MissingTrailingBytesKeepThePreviousCounts) {
  const RowId a = Add("10.0.0.5:27015");
  const RowId b = Add("10.0.0.6:27015");
  const RowId c = Add("10.0.0.7:27015");
  w.Serve("10.0.0.5", 27015, SampleInfoReply("A", "m1", 12, 20, 'l', 'w', 0));
  Query(a);
  EXPECT_EQ(Cell(a, kPCell), "-");
  const std::string full = SampleInfoReply("B", "m2", 3, 9, 'p', 'l', 2);
  w.Serve("10.0.0.6", 27015, full.substr(0, full.size() - 7));  // texts only
  Query(b);
  EXPECT_EQ(Cell(b, kNameCell), "B");
  EXPECT_EQ(Cell(b, kPlayersCell), "12/20");
  EXPECT_EQ(Cell(b, kDCell), " ");
  EXPECT_EQ(Cell(b, kSCell), " ");
  EXPECT_EQ(Cell(b, kPCell), " ");
  w.Serve("10.0.0.7", 27015, full.substr(0, full.size() - 6));  // one player byte
  Query(c);
  EXPECT_EQ(Cell(c, kPlayersCell), "3/20");
  EXPECT_FALSE(w.engine.AwaitingReply());
}

TEST_F(QueryServerTest, TypeAndFlagLettersOnlyFromTheirLowerCaseValues) {
  const RowId id = Add("10.0.0.5:27015");
  w.table.SetCell(0, kDCell, "L");
  w.table.SetCell(0, kSCell, "W");
  w.table.SetCell(0, kPCell, "+");
  w.Serve("10.0.0.5", 27015, SampleInfoReply("A", "m", 1, 2, 'D', 'L', 7));
  Query(id);
  EXPECT_EQ(Cell(id, kDCell), "L");
  EXPECT_EQ(Cell(id, kSCell), "W");
  EXPECT_EQ(Cell(id, kPCell), "+");
  w.Serve("10.0.0.5", 27015, SampleInfoReply("A", "m", 1, 2, 'd', 'w', 0));
  Query(id);
  EXPECT_EQ(Cell(id, kDCell), "D");
  EXPECT_EQ(Cell(id, kSCell), "W");
  EXPECT_EQ(Cell(id, kPCell), "-");
}

// --- a server that does not answer ---------------------------------------------------

TEST_F(QueryServerTest, NoAnswerTimesOutAfter400Ms) {
  const RowId id = Add("10.0.0.5:27015");
  w.table.SetCell(0, kNameCell, "Old name");
  Query(id);
  EXPECT_EQ(Cell(id, kWCell), "-");
  EXPECT_EQ(Cell(id, kNameCell), "Old name");
  EXPECT_EQ(Cell(id, kPingCell), " ");
  EXPECT_EQ(w.sleeper.Count(), 400u / 5);
  EXPECT_EQ(w.pump.Passes(), 400 / 5 + 1);
  EXPECT_TRUE(w.engine.AwaitingReply());  // until the next decoded reply
  EXPECT_TRUE(w.engine.TimedOut());
  // The timer ticked once and stays off.
  for (int i = 0; i < 200; ++i) {
    w.clock.Advance(5);
    w.pump.ProcessEvents();
  }
  EXPECT_EQ(w.timer.Ticks(), 1);
  EXPECT_FALSE(w.timer.Active());
}

TEST_F(QueryServerTest, AReplyWithoutAnyZeroByteMarksPlusThenTimesOut) {
  const RowId id = Add("10.0.0.5:27015");
  w.Serve("10.0.0.5", 27015, "\xFF\xFF\xFF\xFFmAlpha", 2);
  bool sawPlus = false;
  w.pump.SetPassHook([&](long pass) {
    if (pass == 3) sawPlus = Cell(id, kWCell) == "+" && Cell(id, kPingCell) == "10";
  });
  Query(id);
  EXPECT_TRUE(sawPlus);
  EXPECT_EQ(Cell(id, kWCell), "-");
  EXPECT_EQ(Cell(id, kPingCell), "10");
  EXPECT_EQ(Cell(id, kNameCell), " ");
  EXPECT_TRUE(w.engine.AwaitingReply());
}

TEST_F(QueryServerTest, AReplyAndTheTimeOutInTheSamePassEndWithMinus) {
  const RowId id = Add("10.0.0.5:27015");
  w.Serve("10.0.0.5", 27015, SampleInfoReply("Alpha"), 400 / 5);  // arrives in the pass the timer ticks
  Query(id);
  EXPECT_EQ(w.timer.Ticks(), 1);
  EXPECT_EQ(Cell(id, kNameCell), "Alpha");
  EXPECT_EQ(Cell(id, kWCell), "-");
  EXPECT_FALSE(w.engine.AwaitingReply());
  // One pass earlier the reply wins.
  w.Serve("10.0.0.5", 27015, SampleInfoReply("Beta"), 400 / 5 - 1);
  Query(id);
  EXPECT_EQ(Cell(id, kNameCell), "Beta");
  EXPECT_EQ(Cell(id, kWCell), "+");
}

// --- addresses and send errors ---------------------------------------------------------

TEST_F(QueryServerTest, AnAddressWithoutPortTakesTheDefaultPort) {
  const RowId id = Add("10.0.0.5");
  w.settings.defaultPort = "27016";
  w.Serve("10.0.0.5", 27016, SampleInfoReply());
  Query(id);
  w.settings.defaultPort = "";
  Query(id);
  ASSERT_EQ(w.sender.Sent().size(), 2u);
  EXPECT_EQ(w.sender.Sent()[0].host, "10.0.0.5");
  EXPECT_EQ(w.sender.Sent()[0].port, 27016);
  EXPECT_EQ(w.sender.Sent()[1].port, 27015);
  EXPECT_EQ(w.table.Address(0), "10.0.0.5");
  // 10.0.0.5 alone never matches a sender address: the reply went to CurrentRow, which
  // a direct QueryServer does not set, so nothing was written.
  EXPECT_EQ(Cell(id, kWCell), "-");
}

TEST_F(QueryServerTest, APortThatIsNoIntegerIsASendingErrorThenMinus) {
  const RowId id = Add("10.0.0.5:abc");
  const RowId odd = Add("10.0.0.5:27015:9");
  Query(id);
  EXPECT_TRUE(w.sender.Sent().empty());
  EXPECT_EQ(w.messages, (std::vector<std::string>{"Error: Sending error to 10.0.0.5:abc"}));
  EXPECT_EQ(Cell(id, kWCell), "-");
  EXPECT_EQ(w.sleeper.Count(), 80u);  // the wait ran to the time-out
  Query(odd);
  EXPECT_EQ(w.messages.back(), "Error: Sending error to 10.0.0.5:27015:9");
  EXPECT_TRUE(w.sender.Sent().empty());
}

TEST_F(QueryServerTest, EverySenderFailureIsASendingError) {
  const RowId id = Add("nohost.invalid:27015");
  int failures = 0;
  w.sender.SetFailure([&](const std::string&, int) {
    ++failures;
    if (failures == 1) throw EIdException("Socket Error # 11001\r\nHost not found.");
    throw std::runtime_error("anything else");
  });
  Query(id);
  Query(id);
  EXPECT_EQ(failures, 2);
  EXPECT_EQ(w.MessagesStartingWith("Error: Sending error to nohost.invalid:27015").size(), 2u);
  EXPECT_EQ(Cell(id, kWCell), "-");
  EXPECT_EQ(w.timer.Starts(), 2);
  EXPECT_EQ(w.engine.LastSendTime(), kStart + 400);  // taken before the failed send
}

TEST_F(QueryServerTest, AnEmptyAddressDoesNothing) {
  const RowId id = Add("");
  w.engine.QueryServer("", id);
  EXPECT_TRUE(w.sender.Sent().empty());
  EXPECT_EQ(w.pump.Passes(), 0);
  EXPECT_EQ(w.timer.Starts(), 0);
  EXPECT_FALSE(w.engine.AwaitingReply());
  EXPECT_EQ(w.engine.LastSendTime(), 0u);
}

// --- matching replies to rows ---------------------------------------------------------

TEST_F(QueryServerTest, TheLowerOfTwoMatchingRowsIsFilled) {
  Add("10.0.0.9:27015");
  const RowId upper = Add("10.0.0.5:27015");
  Add("10.0.0.8:27015");
  const RowId lower = Add("10.0.0.5:27015");
  w.table.SetSelectedIndex(1);
  w.Serve("10.0.0.5", 27015, SampleInfoReply("Alpha"));
  w.engine.CheckServer();
  EXPECT_EQ(Cell(lower, kNameCell), "Alpha");
  EXPECT_EQ(Cell(lower, kWCell), "+");
  EXPECT_EQ(Cell(upper, kNameCell), " ");
  EXPECT_EQ(Cell(upper, kWCell), " ");  // the reply ended its wait without a mark
  EXPECT_EQ(w.engine.CurrentRow(), lower);
}

TEST_F(QueryServerTest, AHostNameRowTakesItsReplyThroughCurrentRow) {
  Add("10.0.0.9:27015");
  const RowId named = Add("game.example:27015");
  w.table.SetSelectedIndex(1);
  w.Serve("game.example", 27015, SampleInfoReply("Named")).fromIp = "10.0.0.5";
  w.engine.CheckServer();
  EXPECT_EQ(Cell(named, kNameCell), "Named");
  EXPECT_EQ(Cell(named, kWCell), "+");
  EXPECT_EQ(w.table.Cell(0, kWCell), " ");
}

TEST_F(QueryServerTest, AReplyWithNoRowToGoToChangesNothing) {
  Add("10.0.0.9:27015");
  w.Deliver(SampleInfoReply(), "10.0.0.5", 27015);  // no check yet: no current row
  EXPECT_EQ(w.table.Row(0).cells, ServerRow::Blank("").cells);
  EXPECT_EQ(w.engine.ReceivedCount(), 1);
  EXPECT_EQ(w.engine.LastPlayers(), 0);
}

TEST_F(QueryServerTest, ALateReplyGoesToItsOwnRow) {
  const RowId a = Add("10.0.0.5:27015");
  const RowId b = Add("10.0.0.6:27015");
  w.Serve("10.0.0.5", 27015, SampleInfoReply("Late A"), 100);  // after the time-out
  std::uint32_t arrival = 0;
  w.pump.SetPassHook([&](long pass) {
    if (pass == 100) arrival = w.clock.Now();
  });
  Query(a);
  EXPECT_EQ(Cell(a, kWCell), "-");
  const std::uint32_t bSent = w.clock.Now();
  Query(b);  // silent; A's reply arrives during this wait
  EXPECT_EQ(Cell(a, kWCell), "+");
  EXPECT_EQ(Cell(a, kNameCell), "Late A");
  EXPECT_EQ(Cell(a, kPingCell), std::to_string(arrival - bSent));  // from the latest request
  // Any decoded reply ends the waiting query: B is not marked.
  EXPECT_EQ(Cell(b, kWCell), " ");
  EXPECT_EQ(w.engine.CurrentRow(), a);
}

TEST_F(QueryServerTest, RowsReSortedDuringTheWaitKeepTheirOwnResults) {
  Add("10.0.0.1:27015");
  const RowId b = Add("game.example:27015");
  const RowId c = Add("10.0.0.3:27015");
  w.table.SetSelectedIndex(1);
  w.pump.PostAfter(2, [&] { w.table.ReorderRows({2, 0, 1}); });  // B moves to the bottom
  w.Serve("game.example", 27015, SampleInfoReply("B name"), 4).fromIp = "10.9.9.9";
  w.engine.CheckServer();
  EXPECT_EQ(Cell(b, kNameCell), "B name");
  EXPECT_EQ(w.table.Cell(2, kNameCell), "B name");
  EXPECT_EQ(w.table.Cell(1, kNameCell), " ");  // the row now at B's old position
  // And a time-out after a sort marks B, not the row at its old position.
  w.Silence("game.example", 27015);
  w.pump.PostAfter(2, [&] { w.table.ReorderRows({2, 0, 1}); });  // B goes to the top
  w.engine.CheckServer();
  EXPECT_EQ(*w.Find(b), 0);
  EXPECT_EQ(Cell(b, kWCell), "-");
  EXPECT_EQ(Cell(c, kWCell), " ");
  EXPECT_EQ(w.table.Cell(2, kWCell), " ");
}

TEST_F(QueryServerTest, ARowRemovedDuringTheWaitGetsNoWrite) {
  const RowId a = Add("10.0.0.1:27015");
  const RowId b = Add("game.example:27015");
  const RowId c = Add("10.0.0.3:27015");
  w.table.SetSelectedIndex(1);
  w.pump.PostAfter(2, [&] { w.table.DeleteRow(1); });
  w.engine.CheckServer();  // silent: the time-out finds no row
  EXPECT_FALSE(w.Find(b));
  EXPECT_EQ(Cell(a, kWCell), " ");
  EXPECT_EQ(Cell(c, kWCell), " ");
  // A reply for the vanished current row is counted and dropped.
  w.Deliver(SampleInfoReply(), "10.9.9.9", 1);
  EXPECT_EQ(w.engine.ReceivedCount(), 1);
  EXPECT_EQ(Cell(a, kNameCell), " ");
  EXPECT_EQ(Cell(c, kNameCell), " ");
}

// --- counting and logging -----------------------------------------------------------

TEST_F(QueryServerTest, EveryDatagramIsLoggedThenCounted) {
  Add("10.0.0.5:27015");
  w.Deliver(
      "\xFF\xFF\xFF\xFF"
      "D\x00"s,
      "10.0.0.5", 27015);
  w.Deliver("", "10.0.0.5", 27015);
  w.Deliver("\xFF\xFF\xFF", "10.0.0.5", 27015);
  EXPECT_EQ(w.logged, (std::vector<std::string>{"\xFF\xFF\xFF\xFF"
                                                "D\x00"s,
                                                "", "\xFF\xFF\xFF"}));
  EXPECT_EQ(w.receivedAtLog, (std::vector<std::string>{"recv 0", "recv 1", "recv 2"}));
  EXPECT_EQ(w.status.Panel(1), "recv 3");
  EXPECT_EQ(w.table.Cell(0, kWCell), " ");  // none of them is an info reply
  w.settings.packetLog = false;
  w.Deliver(SampleInfoReply(), "10.9.9.9", 1);
  w.Deliver("junk", "10.9.9.9", 1);
  EXPECT_EQ(w.logged.size(), 3u);
  EXPECT_EQ(w.status.Panel(1), "recv 5");
}

TEST_F(QueryServerTest, FirstShowResetsTheCountAndTheRunFlag) {
  w.Deliver("a", "10.0.0.5", 1);
  w.Deliver("b", "10.0.0.5", 1);
  EXPECT_EQ(w.engine.ReceivedCount(), 2);
  w.engine.ResetForShow();
  EXPECT_EQ(w.engine.ReceivedCount(), 0);
  EXPECT_FALSE(w.engine.CheckAllActive());
  w.Deliver("c", "10.0.0.5", 1);
  EXPECT_EQ(w.status.Panel(1), "recv 1");
}

// --- the wait's slices ----------------------------------------------------------------

TEST_F(QueryServerTest, TheSliceFollowsUdpDelayReadAtEachPass) {
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("5"), 5u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("0"), 0u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("+12"), 12u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("abc"), 5u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds(""), 5u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds(" 7"), 5u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("7 "), 5u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("+-7"), 5u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("99999999999"), 5u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("-1"), 0u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("-99"), 0u);
  EXPECT_EQ(QueryEngine::UdpDelayMilliseconds("1500"), 999u);

  const RowId id = Add("10.0.0.5:27015");
  w.settings.udpDelay = "abc";
  w.pump.PostAfter(2, [&] { w.settings.udpDelay = "20"; });
  Query(id);
  const auto& sleeps = w.sleeper.Sleeps();
  ASSERT_GE(sleeps.size(), 3u);
  EXPECT_EQ(sleeps[0], 5u);
  EXPECT_EQ(sleeps[1], 5u);
  EXPECT_EQ(sleeps[2], 20u);
  EXPECT_EQ(Cell(id, kWCell), "-");
}

TEST_F(QueryServerTest, ZeroAndNegativeDelaysSpin) {
  const RowId id = Add("10.0.0.5:27015");
  for (const char* delay : {"0", "-5"}) {
    w.settings.udpDelay = delay;
    w.Serve("10.0.0.5", 27015, SampleInfoReply(), 3);
    const std::size_t before = w.sleeper.Count();
    Query(id);
    EXPECT_EQ(w.sleeper.Count() - before, 3u) << delay;
    EXPECT_EQ(Cell(id, kWCell), "+") << delay;
    EXPECT_EQ(Cell(id, kPingCell), "0") << delay;
  }
  for (auto slice : w.sleeper.Sleeps()) EXPECT_EQ(slice, 0u);
  // A silent server still times out once time passes while events are processed.
  w.Silence("10.0.0.5", 27015);
  w.pump.SetPassHook([&](long) { w.clock.Advance(1); });
  Query(id);
  EXPECT_EQ(Cell(id, kWCell), "-");
}

// --- nested queries -------------------------------------------------------------------

TEST_F(QueryServerTest, AnInnerAnswerEndsTheOuterWaitWithoutAMark) {
  const RowId a = Add("10.0.0.1:27015");
  const RowId b = Add("10.0.0.2:27015");
  w.Serve("10.0.0.2", 27015, SampleInfoReply("B"), 2);
  w.pump.PostAfter(3, [&] { Query(b); });
  Query(a);
  EXPECT_EQ(Cell(b, kWCell), "+");
  EXPECT_EQ(Cell(a, kWCell), " ");
  EXPECT_LT(w.sleeper.Count(), 80u);
}

TEST_F(QueryServerTest, AnInnerTimeOutMarksTheOuterRowToo) {
  const RowId a = Add("10.0.0.1:27015");
  const RowId b = Add("10.0.0.2:27015");
  w.pump.PostAfter(3, [&] { Query(b); });
  Query(a);
  EXPECT_EQ(Cell(b, kWCell), "-");
  EXPECT_EQ(Cell(a, kWCell), "-");
  EXPECT_EQ(w.timer.Starts(), 2);
  EXPECT_EQ(w.timer.Ticks(), 1);  // the inner restart postponed the outer time-out
}

// --- the program ends during a wait -----------------------------------------------------

TEST_F(QueryServerTest, QuittingDuringTheWaitReturnsWithoutWriting) {
  const RowId id = Add("10.0.0.5:27015");
  w.table.SetSelectedIndex(0);
  w.pump.PostAfter(3, [&] { w.engine.RequestQuit(); });
  w.engine.CheckServer();
  EXPECT_EQ(w.pump.Passes(), 3);  // no further processing
  EXPECT_EQ(Cell(id, kWCell), " ");
  EXPECT_EQ(w.messages, (std::vector<std::string>{"Checking server 10.0.0.5:27015..."}));
  // Nothing more is started or decoded.
  w.engine.CheckServer();
  w.engine.CheckAll();
  Query(id);
  w.Deliver(SampleInfoReply(), "10.0.0.5", 27015);
  EXPECT_EQ(w.sender.Sent().size(), 1u);
  EXPECT_EQ(w.engine.ReceivedCount(), 0);
  EXPECT_EQ(Cell(id, kNameCell), " ");
  EXPECT_EQ(w.messages.size(), 1u);
}

}  // namespace
}  // namespace vantrix

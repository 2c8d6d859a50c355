#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FakeQueryWorld.h"

namespace vantrix {
namespace {

using test::FakeQueryWorld;
using test::SampleInfoReply;
using Texts = std::vector<std::string>;

class QueryCheckRunTest : public ::testing::Test {
 protected:
  RowId Add(const std::string& address) { return w.table.IdOf(w.AddRow(address)); }
  std::string_view Cell(RowId id, int cell) { return w.CellOf(id, cell); }
  // host 10.0.0.<n>, port 27015, answering after `passes` passes
  RowId AddAnswering(int n, long passes = 2) {
    const std::string host = "10.0.0." + std::to_string(n);
    w.Serve(host, 27015, SampleInfoReply("Server " + std::to_string(n)), passes);
    return Add(host + ":27015");
  }

  FakeQueryWorld w;
};

// --- check server -----------------------------------------------------------------------

TEST_F(QueryCheckRunTest, CheckServerShowsProgressThenIdle) {
  const RowId id = AddAnswering(5);
  w.table.SetSelectedIndex(0);
  std::string during;
  w.pump.PostAfter(1, [&] { during = w.status.Message(); });
  w.engine.CheckServer();
  EXPECT_EQ(during, "Checking server 10.0.0.5:27015...");
  EXPECT_EQ(w.messages, (Texts{"Checking server 10.0.0.5:27015...", "Idle..."}));
  EXPECT_EQ(Cell(id, kWCell), "+");
  EXPECT_EQ(w.engine.CurrentRow(), id);
  EXPECT_EQ(w.table.SelectedIndex(), 0);
  EXPECT_EQ(w.status.Panel(0), "0/0");
}

TEST_F(QueryCheckRunTest, AnsweredRowsKeepTheirCellsOthersAreBlankedFirst) {
  const RowId answered = AddAnswering(5);
  const RowId failed = AddAnswering(6);
  for (int row = 0; row < 2; ++row) {
    for (int cell = 0; cell < kCellCount; ++cell) w.table.SetCell(row, cell, "old" + std::to_string(cell));
  }
  w.table.SetCell(0, kWCell, "+");
  w.table.SetCell(1, kWCell, "-");

  Texts seen;
  auto capture = [&](RowId id) {
    w.pump.PostAfter(1, [&, id] {
      seen.clear();
      for (int cell = 0; cell < kCellCount; ++cell) seen.push_back(std::string(Cell(id, cell)));
    });
  };
  w.table.SetSelectedIndex(0);
  capture(answered);
  w.engine.CheckServer();
  EXPECT_EQ(seen, (Texts{"old0", "old1", "old2", "old3", "old4", "+", "old6", "old7", "old8"}));
  EXPECT_EQ(Cell(answered, kNameCell), "Server 5");

  w.table.SetSelectedIndex(1);
  capture(failed);
  w.engine.CheckServer();
  EXPECT_EQ(seen, (Texts{" ", " ", " ", " ", "old4", " ", " ", " ", " "}));
  EXPECT_EQ(Cell(failed, kNameCell), "Server 6");
  EXPECT_EQ(Cell(failed, kCommentCell), "old4");
  EXPECT_EQ(w.table.Address(1), "10.0.0.6:27015");
}

TEST_F(QueryCheckRunTest, NoSelectionMeansNothing) {
  AddAnswering(5);
  w.engine.CheckServer();
  w.engine.DoubleClick();
  EXPECT_TRUE(w.sender.Sent().empty());
  EXPECT_TRUE(w.messages.empty());
  EXPECT_EQ(w.pump.Passes(), 0);
  EXPECT_EQ(w.engine.CurrentRow(), kNoRow);
}

TEST_F(QueryCheckRunTest, DoubleClickChecksOnlyWithConnectOn) {
  const RowId id = AddAnswering(5);
  w.table.SetSelectedIndex(0);
  w.settings.connect = false;
  w.engine.DoubleClick();
  EXPECT_TRUE(w.sender.Sent().empty());
  w.settings.connect = true;
  w.engine.DoubleClick();
  EXPECT_EQ(w.sender.Sent().size(), 1u);
  EXPECT_EQ(Cell(id, kWCell), "+");
  EXPECT_EQ(w.messages.back(), "Idle...");
}

// --- check all ----------------------------------------------------------------------------

TEST_F(QueryCheckRunTest, CheckAllShowsWhatIsDoneAndEndsIdle) {
  AddAnswering(1);
  Add("10.0.0.2:27015");  // silent
  AddAnswering(3);
  w.engine.CheckAll();
  EXPECT_EQ(w.messages,
            (Texts{"Checking servers: 0/3", "Checking servers: 1/3", "Checking servers: 2/3", "Idle..."}));
  EXPECT_EQ(w.table.Cell(0, kWCell), "+");
  EXPECT_EQ(w.table.Cell(1, kWCell), "-");
  EXPECT_EQ(w.table.Cell(2, kWCell), "+");
  EXPECT_EQ(w.sender.Sent().size(), 3u);
  EXPECT_FALSE(w.engine.CheckAllActive());

  w.messages.clear();
  w.settings.progress = false;
  const long passesBefore = w.pump.Passes();
  w.table.SetCell(0, kNameCell, "kept?");
  w.engine.CheckAll();
  EXPECT_EQ(w.messages, (Texts{"Idle..."}));
  EXPECT_EQ(w.table.Cell(0, kNameCell), "Server 1");  // no blanking: the reply rewrote it
  // Without progress the run processes events only inside the waits: 3 + 80 + 3 passes.
  EXPECT_EQ(w.pump.Passes() - passesBefore, 3 + 81 + 3);
}

TEST_F(QueryCheckRunTest, EventsRunAfterEachProgressText) {
  AddAnswering(1);
  std::size_t sentWhenRun = 99;
  std::string messageWhenRun;
  w.pump.Post([&] {
    sentWhenRun = w.sender.Sent().size();
    messageWhenRun = w.status.Message();
  });
  w.engine.CheckAll();
  EXPECT_EQ(sentWhenRun, 0u);
  EXPECT_EQ(messageWhenRun, "Checking servers: 0/1");
}

TEST_F(QueryCheckRunTest, AnEmptyTableIsIdleAtOnce) {
  w.engine.CheckAll();
  EXPECT_EQ(w.messages, (Texts{"Idle..."}));
  EXPECT_EQ(w.pump.Passes(), 0);
  EXPECT_FALSE(w.engine.CheckAllActive());
}

TEST_F(QueryCheckRunTest, ThePingDuringARunIsTimedFromTheRowsOwnSend) {
  const RowId a = AddAnswering(1, 3);
  const RowId b = AddAnswering(2, 4);
  w.clock.SetStepPerReading(1);  // every reading differs, so their roles show
  w.engine.CheckAll();
  for (RowId id : {a, b}) {
    EXPECT_NE(w.engine.SendTime(id), 0u);
    EXPECT_EQ(Cell(id, kPingCell),
              std::to_string(TickDifference(w.engine.ReceiveTime(id), w.engine.SendTime(id))));
  }
  // Two readings per request inside a run: the row's and then LastSendTime.
  EXPECT_EQ(w.engine.LastSendTime(), w.engine.SendTime(b) + 1);
  // Four slices, plus the step of each of the two readings.
  EXPECT_EQ(TickDifference(w.engine.ReceiveTime(b), w.engine.SendTime(b)), 4 * 5 + 2);
  EXPECT_EQ(w.engine.LastReceiveTime(), 0u);  // only replies outside a run set it
}

TEST_F(QueryCheckRunTest, TheLastRowDeletedDuringARunIsSkipped) {
  AddAnswering(1, 3);
  AddAnswering(2, 3);
  AddAnswering(3, 3);
  w.pump.PostAfter(2, [&] { w.table.DeleteRow(2); });
  w.engine.CheckAll();
  EXPECT_EQ(w.sender.Sent().size(), 2u);
  EXPECT_EQ(w.SendsTo("10.0.0.3", 27015), 0);
  EXPECT_EQ(w.messages,
            (Texts{"Checking servers: 0/3", "Checking servers: 1/2", "Checking servers: 2/2", "Idle..."}));
  EXPECT_EQ(w.engine.CurrentRow(), kNoRow);  // the last step named no row
}

TEST_F(QueryCheckRunTest, RowsAddedDuringARunAreNotQueried) {
  AddAnswering(1, 3);
  w.pump.PostAfter(2, [&] { AddAnswering(2); });
  w.engine.CheckAll();
  EXPECT_EQ(w.sender.Sent().size(), 1u);
  EXPECT_EQ(w.table.Cell(1, kWCell), " ");
}

TEST_F(QueryCheckRunTest, TheQueriedRowRemovedDuringItsWaitIsNotMarked) {
  const RowId a = Add("10.0.0.1:27015");
  const RowId b = Add("10.0.0.2:27015");
  const RowId c = Add("10.0.0.3:27015");
  w.pump.PostAfter(3, [&] { w.table.DeleteRow(0); });
  w.engine.CheckAll();
  EXPECT_FALSE(w.Find(a));
  // The run follows its rows: B moved up into position 0 and is still asked, once.
  EXPECT_EQ(w.SendsTo("10.0.0.1", 27015), 1);
  EXPECT_EQ(w.SendsTo("10.0.0.2", 27015), 1);
  EXPECT_EQ(w.SendsTo("10.0.0.3", 27015), 1);
  EXPECT_EQ(Cell(b, kWCell), "-");
  EXPECT_EQ(Cell(c, kWCell), "-");
  EXPECT_EQ(w.messages.back(), "Idle...");
}

TEST_F(QueryCheckRunTest, ARowReSortedDuringARunIsMarkedWhereItIs) {
  const RowId a = Add("10.0.0.1:27015");
  const RowId b = Add("10.0.0.2:27015");
  w.settings.progress = false;
  w.pump.PostAfter(2, [&] { w.table.ReorderRows({1, 0}); });  // during A's wait
  w.engine.CheckAll();
  // A timed out at its new position 1; the second step asked B at its new position 0.
  EXPECT_EQ(Cell(a, kWCell), "-");
  EXPECT_EQ(Cell(b, kWCell), "-");
  EXPECT_EQ(w.SendsTo("10.0.0.1", 27015), 1);
  EXPECT_EQ(w.SendsTo("10.0.0.2", 27015), 1);
}

TEST_F(QueryCheckRunTest, SortsBetweenStepsNeitherSkipNorRepeatARow) {
  std::vector<RowId> ids;
  for (int n = 1; n <= 12; ++n) ids.push_back(AddAnswering(n, 2));
  // Each click reverses the list, as a header click on a column sorted once already does.
  std::vector<int> reversed(12);
  for (int i = 0; i < 12; ++i) reversed[static_cast<size_t>(i)] = 11 - i;
  std::size_t sortedAt = 0;
  int sorts = 0;
  std::vector<std::string> progress;
  w.pump.SetPassHook([&](long) {
    const std::size_t sent = w.sender.Sent().size();
    // Once while the run waits on the second server, and again on the seventh.
    if ((sent == 2 || sent == 7) && sortedAt != sent) {
      sortedAt = sent;
      ++sorts;
      w.pump.Post([&] { w.table.ReorderRows(reversed); });
    }
  });
  w.engine.CheckAll();
  EXPECT_EQ(sorts, 2);
  EXPECT_EQ(w.sender.Sent().size(), 12u);
  for (int n = 1; n <= 12; ++n) EXPECT_EQ(w.SendsTo("10.0.0." + std::to_string(n), 27015), 1) << n;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    EXPECT_EQ(Cell(ids[i], kWCell), "+");
    EXPECT_EQ(Cell(ids[i], kNameCell), "Server " + std::to_string(i + 1));
  }
  // Asked in the order the rows stood when the run began, whatever stood where later.
  for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(w.sender.Sent()[i].host, "10.0.0." + std::to_string(i + 1));
  EXPECT_EQ(w.messages.front(), "Checking servers: 0/12");
  EXPECT_EQ(w.messages[11], "Checking servers: 11/12");
  EXPECT_EQ(w.messages.back(), "Idle...");
  EXPECT_EQ(w.engine.RunPosition(), 12);
}

TEST_F(QueryCheckRunTest, ARowDeletedBeforeItsStepIsSkippedWhereverItStood) {
  AddAnswering(1, 3);
  const RowId b = AddAnswering(2, 3);
  const RowId c = AddAnswering(3, 3);
  AddAnswering(4, 3);
  // During the first wait: C goes, and the list is turned round.
  w.pump.PostAfter(2, [&] {
    w.table.DeleteRow(*w.Find(c));
    w.table.ReorderRows({2, 1, 0});
  });
  w.engine.CheckAll();
  EXPECT_EQ(w.SendsTo("10.0.0.1", 27015), 1);
  EXPECT_EQ(w.SendsTo("10.0.0.2", 27015), 1);
  EXPECT_EQ(w.SendsTo("10.0.0.3", 27015), 0);
  EXPECT_EQ(w.SendsTo("10.0.0.4", 27015), 1);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(w.table.Cell(row, kWCell), "+") << row;
  EXPECT_EQ(Cell(b, kNameCell), "Server 2");
  // Four steps, the third asking nothing; the counts follow the table as it is now.
  EXPECT_EQ(w.messages, (Texts{"Checking servers: 0/4", "Checking servers: 1/3", "Checking servers: 2/3",
                               "Checking servers: 3/3", "Idle..."}));
}

TEST_F(QueryCheckRunTest, F10TwiceRunsTheSecondOverAllRowsAndEndsTheFirst) {
  AddAnswering(1, 3);
  AddAnswering(2, 3);
  AddAnswering(3, 3);
  w.pump.PostAfter(2, [&] { w.engine.CheckAll(); });  // during the first run's first wait
  w.engine.CheckAll();
  EXPECT_EQ(w.SendsTo("10.0.0.1", 27015), 2);  // once by each run
  EXPECT_EQ(w.SendsTo("10.0.0.2", 27015), 1);
  EXPECT_EQ(w.SendsTo("10.0.0.3", 27015), 1);
  for (int row = 0; row < 3; ++row) EXPECT_EQ(w.table.Cell(row, kWCell), "+");
  EXPECT_EQ(w.messages, (Texts{"Checking servers: 0/3", "Checking servers: 0/3", "Checking servers: 1/3",
                               "Checking servers: 2/3", "Idle...", "Checking servers: 4/3",
                               "Checking servers: 5/3", "Idle..."}));
  EXPECT_EQ(w.engine.RunPosition(), 6);
  EXPECT_FALSE(w.engine.CheckAllActive());
}

TEST_F(QueryCheckRunTest, ACheckServerDuringARunIsTimedAsPartOfIt) {
  AddAnswering(1, 3);
  AddAnswering(2, 3);
  const RowId c = AddAnswering(3, 3);
  w.table.SetSelectedIndex(2);
  bool activeAtSend = false;
  w.pump.PostAfter(2, [&] {
    w.sender.SetOnSend([&, inner = true](const test::SentDatagram& sent) mutable {
      if (inner && sent.host == "10.0.0.3") activeAtSend = w.engine.CheckAllActive();
      inner = false;
      const auto& server = w.servers.at({sent.host, sent.port});
      w.DeliverLater(server.passes, server.reply, server.fromIp, server.fromPort);
    });
    w.engine.CheckServer();
  });
  w.engine.CheckAll();
  EXPECT_TRUE(activeAtSend);
  EXPECT_EQ(w.SendsTo("10.0.0.3", 27015), 2);
  EXPECT_EQ(w.MessagesStartingWith("Checking server 10.0.0.3:27015...").size(), 1u);
  EXPECT_EQ(w.messages.back(), "Idle...");
  EXPECT_EQ(Cell(c, kWCell), "+");
  EXPECT_EQ(w.engine.LastReceiveTime(), 0u);
}

TEST_F(QueryCheckRunTest, CheckServerWithoutSelectionLeavesNoCurrentRow) {
  const RowId a = AddAnswering(1);
  w.table.SetSelectedIndex(0);
  w.engine.CheckServer();
  ASSERT_EQ(w.engine.CurrentRow(), a);
  ASSERT_EQ(Cell(a, kNameCell), "Server 1");
  w.table.SetSelectedIndex(-1);
  w.engine.CheckServer();
  EXPECT_EQ(w.engine.CurrentRow(), kNoRow);
  EXPECT_EQ(w.sender.Sent().size(), 1u);
  // A late reply from an address that matches no row is dropped, not written into A.
  w.Deliver(SampleInfoReply("Stranger"), "10.0.0.77", 27015);
  EXPECT_EQ(Cell(a, kNameCell), "Server 1");
  EXPECT_EQ(w.engine.ReceivedCount(), 2);

  // The same during a run: the run's next step names its own row again.
  const RowId b = Add("10.0.0.2:27015");
  RowId currentAfter = a;
  w.table.SetSelectedIndex(-1);
  w.pump.PostAfter(2, [&] {
    w.engine.CheckServer();  // nothing selected
    currentAfter = w.engine.CurrentRow();
  });
  w.engine.CheckAll();
  EXPECT_EQ(currentAfter, kNoRow);
  EXPECT_EQ(w.engine.CurrentRow(), b);
  EXPECT_EQ(Cell(b, kWCell), "-");
}

TEST_F(QueryCheckRunTest, TablesLongerThanFiftyThousandRowsAreTimedToo) {
  Add("10.0.0.1:27015");  // silent: the run waits while the table grows
  RowId far = kNoRow;
  w.pump.PostAfter(2, [&] {
    const int first = w.AddRows(50'001);
    far = w.table.IdOf(first + 50'000);
    w.Serve("10.0.200.1", 27015, SampleInfoReply("Far"), 4);
    ASSERT_EQ(w.table.Address(first + 50'000), "10.0.200.1:27015");
    w.table.SetSelectedIndex(first + 50'000);
    w.engine.CheckServer();
  });
  w.engine.CheckAll();
  ASSERT_NE(far, kNoRow);
  EXPECT_EQ(*w.Find(far), 50'001);
  EXPECT_EQ(Cell(far, kNameCell), "Far");
  EXPECT_NE(w.engine.SendTime(far), 0u);
  EXPECT_EQ(TickDifference(w.engine.ReceiveTime(far), w.engine.SendTime(far)), 4 * 5);
  EXPECT_EQ(Cell(far, kPingCell), "20");
}

TEST_F(QueryCheckRunTest, TimingsOfRemovedRowsDoNotPileUp) {
  w.settings.progress = false;
  for (int round = 0; round < 6; ++round) {
    const int first = w.AddRows(600);
    for (int i = 0; i < 600; ++i) {
      const std::string address(w.table.Address(first + i));
      w.Serve(address.substr(0, address.find(':')), 27015, SampleInfoReply(), 1);
    }
    w.engine.CheckAll();
    EXPECT_EQ(w.table.Cell(599, kWCell), "+");
    EXPECT_LE(w.engine.TimedRowCount(), 2u * 600 + 1024);
    w.table.Clear();
  }
}

// --- nesting and quitting -----------------------------------------------------------------

TEST_F(QueryCheckRunTest, HeldF9NestsAtMost32Checks) {
  Add("10.0.0.1:27015");  // silent
  w.table.SetSelectedIndex(0);
  int pressed = 0;
  int deepest = 0;
  w.pump.SetPassHook([&](long pass) {
    deepest = std::max(deepest, w.engine.CheckDepth());
    if (pass > 300) return;  // the key is released
    ++pressed;
    w.pump.Post([&] { w.engine.CheckServer(); });
  });
  w.engine.CheckServer();
  EXPECT_EQ(deepest, QueryEngine::kMaxCheckDepth);
  EXPECT_LT(w.pump.MaxDepth(), QueryEngine::kMaxCheckDepth + 2);
  EXPECT_GT(pressed, static_cast<int>(w.sender.Sent().size()));  // repeats beyond the bound were ignored
  EXPECT_EQ(w.engine.CheckDepth(), 0);
  EXPECT_EQ(w.table.Cell(0, kWCell), "-");
  EXPECT_EQ(w.messages.back(), "Idle...");
}

TEST_F(QueryCheckRunTest, QuittingDuringARunStopsIt) {
  Add("10.0.0.1:27015");
  Add("10.0.0.2:27015");
  Add("10.0.0.3:27015");
  w.pump.PostAfter(10, [&] { w.engine.RequestQuit(); });
  w.engine.CheckAll();
  EXPECT_EQ(w.sender.Sent().size(), 1u);
  EXPECT_EQ(w.messages, (Texts{"Checking servers: 0/3"}));
  for (int row = 0; row < 3; ++row) EXPECT_EQ(w.table.Cell(row, kWCell), " ");
  // Quitting in the progress step's events stops it too.
  FakeQueryWorld other;
  other.AddRow("10.0.0.1:27015");
  other.pump.Post([&] { other.engine.RequestQuit(); });
  other.engine.CheckAll();
  EXPECT_TRUE(other.sender.Sent().empty());
  EXPECT_EQ(other.messages, (Texts{"Checking servers: 0/1"}));
}

}  // namespace
}  // namespace vantrix

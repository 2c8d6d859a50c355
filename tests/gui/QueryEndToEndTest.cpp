// The main window's info query over its real endpoint: "Check server" by key, pop-up and
// double click, replies from unknown senders, modal dialogs and the program's end during
// a wait. The servers are the simulated ones (a child process) or plain sockets, all on
// 127.0.0.1.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "core/protocol/InfoRequest.h"
#include "core/query/QueryEngine.h"
#include "core/settings/SettingsValuesReader.h"
#include "fake/FakeReplies.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/QueryFakeServers.h"
#include "gui/Unit1.h"
#include "net/TIdUDPServer.h"
#include "support/NetPeer.h"
#include "support/NetWatchdog.h"

using namespace vantrix;
using vantrix::test::Activate;
using vantrix::test::ProcessUntil;
using namespace std::chrono_literals;
using vantrix::test::NetPeer;
using vantrix::test::NetWatchdog;
using vantrix::test::QueryFakeServers;
using vantrix::test::RecordedApplication;

namespace {

QString PanelText(const TForm1& form, int panel) {
  return form.StatusPanel(panel)->text();
}

// What a screen reader hears for a status panel.
QString SpokenPanel(const TForm1& form, int panel) {
  QAccessibleInterface* label = QAccessible::queryAccessibleInterface(form.StatusPanel(panel));
  return label ? label->text(QAccessible::Name) : QString();
}

std::string Reply(const std::string& name, const std::string& map, std::uint8_t players,
                  std::uint8_t maxPlayers) {
  fake::InfoFields fields;
  fields.address = "127.0.0.1:1";
  fields.name = name;
  fields.map = map;
  fields.players = players;
  fields.maxPlayers = maxPlayers;
  fields.type = 'd';
  fields.os = 'w';
  fields.password = 1;
  return fake::BuildInfoReply(fields);
}

std::string Expected(const fake::ServerProfile& profile, int cell) {
  const fake::InfoFields& info = profile.info;
  switch (cell) {
    case kNameCell:
      return info.name;
    case kMapCell:
      return info.map;
    case kPlayersCell:
      return std::to_string(info.players) + "/" + std::to_string(info.maxPlayers);
    case kDCell:
      return std::string(1, static_cast<char>(info.type - 'a' + 'A'));
    case kSCell:
      return std::string(1, static_cast<char>(info.os - 'a' + 'A'));
    case kPCell:
      return info.password ? "+" : "-";
    default:
      return {};
  }
}

// Shows each modal dialog for real and runs `whileShown` every few milliseconds inside its
// modal loop until it returns true; then the dialog closes.
class PollingDialogRunner final : public DialogRunner {
 public:
  explicit PollingDialogRunner(std::function<bool()> whileShown) : m_whileShown(std::move(whileShown)) {}

  int Exec(QDialog& dialog) override {
    ++m_shown;
    QTimer poll;
    poll.setInterval(2);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
      if (m_whileShown() || std::chrono::steady_clock::now() > deadline) dialog.reject();
    });
    poll.start();
    return dialog.exec();
  }

  int Shown() const { return m_shown; }

 private:
  std::function<bool()> m_whileShown;
  int m_shown = 0;
};

}  // namespace

class QueryEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void EndpointIsOpenFromCreationOnAnEphemeralPort() {
    RecordedApplication recorded;
    TIdUDPServer& endpoint = recorded.app->Form1().IdUDPServer1();
    QVERIFY(endpoint.Active());
    QVERIFY(endpoint.LocalPort() != 0);
    QCOMPARE(endpoint.BufferSize(), 8192);
    QVERIFY(!endpoint.BroadcastEnabled());
    QVERIFY(!endpoint.ThreadedEvent());
    // Each window has its own endpoint.
    RecordedApplication other;
    QVERIFY(other.app->Form1().IdUDPServer1().LocalPort() != endpoint.LocalPort());
  }

  // F9 on one row of the simulated servers: the progress text during the wait, then
  // "Idle...", and the decoded cells; the pop-up's "Check" does the same.
  void CheckServerByKeyAndByPopUp() {
    QueryFakeServers servers;
    fake::ServerSetup setup;
    setup.count = 3;
    setup.oddNames = true;
    QVERIFY2(servers.Start(setup), servers.Error().c_str());
    const auto profiles = servers.Profiles();

    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    form.SetSettingsReader(&settings);
    ServerTable& table = form.Table();
    for (const auto& profile : profiles) table.AppendRow(profile.Address());
    QVERIFY(Activate(form));
    QCOMPARE(form.Engine().ReceivedCount(), 0);

    table.SetSelectedIndex(1);
    QString duringWait;
    QTimer::singleShot(0, &form, [&] { duringWait = PanelText(form, 2); });
    {
      NetWatchdog watchdog(15s, "F9 on an answering server");
      QTest::keyClick(form.ListView1(), Qt::Key_F9);
    }
    const std::string address = profiles[1].Address();
    QCOMPARE(duringWait, QString::fromStdString("Checking server " + address + "..."));
    QCOMPARE(PanelText(form, 2), QStringLiteral("Idle..."));
    QCOMPARE(SpokenPanel(form, 2), QStringLiteral("Idle..."));
    QCOMPARE(table.Cell(1, kWCell), std::string("+"));
    for (int cell : {kNameCell, kMapCell, kPlayersCell, kDCell, kSCell, kPCell})
      QCOMPARE(table.Cell(1, cell), Expected(profiles[1], cell));
    bool numeric = false;
    const int ping = QString::fromStdString(std::string(table.Cell(1, kPingCell))).toInt(&numeric);
    QVERIFY(numeric);
    QVERIFY(ping >= 0 && ping < 400);
    QCOMPARE(PanelText(form, 1), QStringLiteral("recv 1"));
    // The other rows were not touched and the selection stayed.
    QCOMPARE(table.Cell(0, kWCell), std::string(kBlank));
    QCOMPARE(table.Cell(2, kWCell), std::string(kBlank));
    QCOMPARE(table.SelectedIndex(), 1);

    table.SetSelectedIndex(2);
    QAction* check = form.MenuAction(QStringLiteral("Check1"));
    QVERIFY(check && form.PopupMenu2()->actions().contains(check));
    check->trigger();
    QCOMPARE(table.Cell(2, kWCell), std::string("+"));
    QCOMPARE(table.Cell(2, kNameCell), profiles[2].info.name);  // Latin-1 bytes, unchanged
    QCOMPARE(PanelText(form, 1), QStringLiteral("recv 2"));

    const auto counts = servers.Stop();
    QVERIFY(counts.has_value());
    QCOMPARE(counts->datagrams, 2L);
  }

  // A silent server: the time-out of Timer1 marks the row "-" and the old cells of a row
  // that was not answered before are blanked first.
  void SilentServerTimesOutThroughTheWindowTimer() {
    NetPeer silent;
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    form.SetSettingsReader(&settings);
    ServerRow row = ServerRow::Blank("127.0.0.1:" + std::to_string(silent.Port()));
    row.cells[kNameCell] = "old name";
    row.cells[kCommentCell] = "kept";
    row.cells[kWCell] = "-";
    form.Table().AppendRow(row);
    form.Table().SetSelectedIndex(0);
    {
      NetWatchdog watchdog(15s, "F9 on a silent server");
      form.Checkserver1Click();
    }
    const auto request = silent.Receive(1s);
    QVERIFY(request.has_value());
    QCOMPARE(request->bytes, std::string(kInfoRequest));
    QCOMPARE(request->port, form.IdUDPServer1().LocalPort());
    QCOMPARE(form.Table().Cell(0, kWCell), std::string("-"));
    QCOMPARE(form.Table().Cell(0, kNameCell), std::string(kBlank));
    QCOMPARE(form.Table().Cell(0, kCommentCell), std::string("kept"));
    QVERIFY(form.Engine().TimedOut());
    QVERIFY(!form.Timer1()->isActive());
    QCOMPARE(PanelText(form, 2), QStringLiteral("Idle..."));
  }

  void DoubleClickChecksOnlyWithConnectOn() {
    NetPeer server;
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    form.SetSettingsReader(&settings);
    form.Table().AppendRow("127.0.0.1:" + std::to_string(server.Port()));
    QVERIFY(Activate(form));
    QTreeView* view = form.ListView1();
    const QPoint centre = view->visualRect(view->model()->index(0, 0)).center();

    settings.Values().connect = false;
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(form.Table().SelectedIndex(), 0);
    QVERIFY(!server.Receive(100ms).has_value());
    QCOMPARE(form.Table().Cell(0, kWCell), std::string(kBlank));
    QVERIFY(!PanelText(form, 2).startsWith(QStringLiteral("Checking")));

    settings.Values().connect = true;
    // The server answers from inside the wait that the double click starts.
    QTimer answer;
    answer.setInterval(1);
    QObject::connect(&answer, &QTimer::timeout, &form, [&] {
      if (auto request = server.Receive(0ms)) {
        server.SendTo(request->port, Reply("Double", "de_nuke", 3, 16));
        answer.stop();
      }
    });
    answer.start();
    {
      NetWatchdog watchdog(15s, "a double click with Connect on");
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    }
    QCOMPARE(form.Table().Cell(0, kWCell), std::string("+"));
    QCOMPARE(form.Table().Cell(0, kNameCell), std::string("Double"));
    QCOMPARE(form.Table().Cell(0, kPlayersCell), std::string("3/16"));
    QCOMPARE(PanelText(form, 2), QStringLiteral("Idle..."));
  }

  // A reply whose sender is no row goes to the row queried last; with no such row it is
  // counted and written nowhere, and so is any datagram that is no info reply.
  void RepliesFromUnknownSendersAreCountedOnly() {
    NetPeer known;
    NetPeer stranger;
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    form.SetSettingsReader(&settings);
    ServerTable& table = form.Table();
    table.AppendRow("127.0.0.1:" + std::to_string(known.Port()));
    table.AppendRow("127.0.0.1:1");
    const std::uint16_t endpointPort = form.IdUDPServer1().LocalPort();
    auto unchanged = [&] {
      for (int position = 0; position < table.Count(); ++position)
        for (int cell = 0; cell < kCellCount; ++cell)
          if (table.Cell(position, cell) != kBlank) return false;
      return true;
    };

    // Nothing was queried yet, so the reply has no row to go to.
    QVERIFY(stranger.SendTo(endpointPort, Reply("Stranger", "de_dust2", 1, 8)));
    QVERIFY(ProcessUntil([&] { return form.Engine().ReceivedCount() == 1; }));
    QVERIFY(unchanged());
    QCOMPARE(PanelText(form, 1), QStringLiteral("recv 1"));

    // A datagram that is no info reply, from a known server, is counted only.
    QVERIFY(known.SendTo(endpointPort, std::string("\xFF\xFF\xFF\xFF"
                                                   "D\x00",
                                                   6)));
    QVERIFY(ProcessUntil([&] { return form.Engine().ReceivedCount() == 2; }));
    QVERIFY(unchanged());
    QCOMPARE(PanelText(form, 1), QStringLiteral("recv 2"));

    // Check the known server (it answers), then remove its row: a stranger's reply then
    // has no row to go to either.
    QTimer answer;
    answer.setInterval(1);
    QObject::connect(&answer, &QTimer::timeout, &form, [&] {
      if (auto request = known.Receive(0ms)) {
        known.SendTo(request->port, Reply("Known", "cs_italy", 2, 8));
        answer.stop();
      }
    });
    answer.start();
    table.SetSelectedIndex(0);
    form.Checkserver1Click();
    QCOMPARE(table.Cell(0, kNameCell), std::string("Known"));
    QCOMPARE(form.Engine().ReceivedCount(), 3);
    table.DeleteRow(0);
    QVERIFY(stranger.SendTo(endpointPort, Reply("Stranger", "de_dust2", 1, 8)));
    QVERIFY(ProcessUntil([&] { return form.Engine().ReceivedCount() == 4; }));
    QVERIFY(unchanged());
    QCOMPARE(PanelText(form, 1), QStringLiteral("recv 4"));
  }

  // A modal dialog opened during a wait holds the wait until it closes, while the reply is
  // decoded inside the dialog's own loop.
  void ModalDialogDuringAWaitPausesItButRepliesAreDecoded() {
    NetPeer server;
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    form.SetSettingsReader(&settings);
    ServerTable& table = form.Table();
    table.AppendRow("127.0.0.1:" + std::to_string(server.Port()));
    table.SetSelectedIndex(0);

    bool answered = false;
    QString statusWhileShown;
    bool awaitingWhileShown = true;
    auto runner = std::make_unique<PollingDialogRunner>([&] {
      if (!answered) {
        if (auto request = server.Receive(0ms)) {
          server.SendTo(request->port, Reply("Modal", "de_train", 5, 24));
          answered = true;
        }
        return false;
      }
      if (table.Cell(0, kWCell) != "+") return false;
      statusWhileShown = PanelText(form, 2);
      awaitingWhileShown = form.Engine().AwaitingReply();
      return true;
    });
    PollingDialogRunner& dialogs = *runner;
    recorded.app->SetDialogRunner(std::move(runner));
    // "About..." is chosen while "Check server" waits.
    QTimer::singleShot(0, &form, [&] { form.About1Click(); });
    {
      NetWatchdog watchdog(15s, "a wait with a modal dialog");
      form.Checkserver1Click();
    }
    QCOMPARE(dialogs.Shown(), 1);
    QVERIFY(answered);
    // Inside the dialog the reply was decoded and the wait had not gone on.
    QVERIFY(!awaitingWhileShown);
    QCOMPARE(statusWhileShown, QStringLiteral("Checking server 127.0.0.1:") + QString::number(server.Port()) +
                                   QStringLiteral("..."));
    QCOMPARE(table.Cell(0, kWCell), std::string("+"));
    QCOMPARE(table.Cell(0, kMapCell), std::string("de_train"));
    QCOMPARE(PanelText(form, 2), QStringLiteral("Idle..."));
  }

  // "Exit" or closing the main window during a wait returns from the wait at once: the
  // command ends without the time-out's mark and without "Idle...", and a check-all run
  // sends nothing more.
  void LeavingDuringAWaitEndsItAtOnce() {
    QFETCH(bool, byClosing);
    std::vector<std::unique_ptr<NetPeer>> silent;
    for (int i = 0; i < 3; ++i) silent.push_back(std::make_unique<NetPeer>());
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    form.SetSettingsReader(&settings);
    for (const auto& peer : silent) form.Table().AppendRow("127.0.0.1:" + std::to_string(peer->Port()));
    form.show();
    QTimer::singleShot(20, &form, [&] {
      if (byClosing)
        form.close();
      else
        form.Exit1Click();
    });
    {
      NetWatchdog watchdog(15s, "leaving during a check-all run");
      form.CheckallF121Click();
    }
    QCOMPARE(recorded.endCount, 1);
    QVERIFY(form.Engine().Quitting());
    QVERIFY(silent[0]->Receive(1s).has_value());
    QVERIFY(!silent[1]->Receive(50ms).has_value());
    QVERIFY(!silent[2]->Receive(50ms).has_value());
    for (int position = 0; position < 3; ++position)
      QCOMPARE(form.Table().Cell(position, kWCell), std::string(kBlank));
    QCOMPARE(PanelText(form, 2), QStringLiteral("Checking servers: 0/3"));
    // Nothing starts after the end.
    form.Table().SetSelectedIndex(1);
    form.Checkserver1Click();
    QVERIFY(!silent[1]->Receive(50ms).has_value());
  }
  void LeavingDuringAWaitEndsItAtOnce_data() {
    QTest::addColumn<bool>("byClosing");
    QTest::newRow("Exit") << false;
    QTest::newRow("closing the window") << true;
  }
};

QTEST_MAIN(QueryEndToEndTest)
#include "QueryEndToEndTest.moc"

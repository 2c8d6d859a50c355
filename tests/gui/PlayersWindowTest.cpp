#include <cstdint>
#include <string>
#include <vector>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTreeView>

#include "fake/FakeReplies.h"
#include "gui/FakeServerProcess.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/Unit1.h"
#include "gui/Unit3.h"
#include "gui/Unit4.h"
#include "gui/model/ServerTableModel.h"
#include "gui/text/NetworkLine.h"
#include "net/TIdUDPServer.h"

using namespace vantrix;
using vantrix::test::FakeServerProcess;
using vantrix::test::MainWindowDriver;
using vantrix::test::ShownBytes;

namespace {

constexpr int kReplyWaitMs = 5000;

// The lines a server's players should give, formatted here from its data.
QStringList ExpectedLines(const fake::ServerProfile& profile) {
  QStringList lines;
  for (const fake::Player& player : profile.players) {
    const auto frag = static_cast<std::uint8_t>(static_cast<std::uint32_t>(player.score) & 0xFFu);
    lines << QStringLiteral("[") + QString::number(frag) + QStringLiteral("] - ") + ShownBytes(player.name);
  }
  return lines;
}

QStringList ListTexts(const QListWidget& list) {
  QStringList out;
  for (int i = 0; i < list.count(); ++i) out << list.item(i)->text();
  return out;
}

struct PlayersFixture : MainWindowDriver {
  TForm4& Players() { return recorded.app->Form4(); }
  QListWidget& List() { return *Players().ListBox1(); }
  void PressF11() { PressKey(Qt::Key_F11); }
};

}  // namespace

class PlayersWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void WindowHasItsShapeMenuAndOpenEndpoint() {
    PlayersFixture f;
    TForm4& players = f.Players();
    QCOMPARE(players.windowTitle(), QStringLiteral("Players"));
    QCOMPARE(players.windowType(), Qt::Tool);
    QCOMPARE(players.size(), QSize(230, 294));
    QVERIFY(!players.isVisible());
    QCOMPARE(players.palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(f.List().palette().color(QPalette::Base), QColor(Qt::black));
    // The endpoint is open from creation, on a port of its own.
    QVERIFY(players.IdUDPServer1().Active());
    QVERIFY(players.IdUDPServer1().LocalPort() != 0);
    QCOMPARE(players.IdUDPServer1().BufferSize(), 32767);
    QVERIFY(players.IdUDPServer1().LocalPort() != f.recorded.app->Form3().IdUDPServer1().LocalPort());
    // The list fills the window, also after a resize.
    players.resize(300, 400);
    players.show();
    QVERIFY(QTest::qWaitForWindowExposed(&players));
    QCOMPARE(f.List().geometry(), players.rect());
    // One entry in the context menu, which a right click anywhere in the window opens.
    const QList<QAction*> actions = players.PopupMenu1()->actions();
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions.front()->text(), QStringLiteral("Refresh"));
    QCOMPARE(actions.front(), players.Refresh1());
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20),
                            f.List().viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(f.List().viewport(), &click);
    QTRY_VERIFY_WITH_TIMEOUT(players.PopupMenu1()->isVisible(), kReplyWaitMs);
    players.PopupMenu1()->hide();
  }

  void F11ListsThePlayersOfTheSelectedServer() {
    FakeServerProcess servers(3, {}, true);
    const QString started = servers.Start();
    QVERIFY2(started.isEmpty(), qPrintable(started));
    const auto profiles = servers.Profiles();
    PlayersFixture f;
    f.LogPackets();
    for (const auto& profile : profiles) f.AddRow(profile.Address());
    // The second server has players with a UTF-8 name and a score of -1.
    QVERIFY(!profiles[1].players.empty());
    f.Select(1);
    f.PressF11();
    QVERIFY(f.recorded.errors->empty());
    QVERIFY(f.Players().isVisible());
    QCOMPARE(f.Players().Players().CurrentAddress(), profiles[1].Address());
    const QStringList expected = ExpectedLines(profiles[1]);
    QTRY_COMPARE_WITH_TIMEOUT(ListTexts(f.List()), expected, kReplyWaitMs);
    QVERIFY(expected.contains(QStringLiteral("[255] - Player 2")));
    // The reply came to the window's own endpoint: the main window never saw it.
    QVERIFY(f.MainEndpointSawNothing());
    // The lines are readable by assistive technology.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&f.List());
    QVERIFY(list);
    QStringList spoken;
    for (int i = 0; i < list->childCount(); ++i) spoken << list->child(i)->text(QAccessible::Name);
    QCOMPARE(spoken, expected);

    // A server without players: the list is emptied and stays empty.
    QVERIFY(profiles[0].players.empty());
    f.Select(0);
    f.PressF11();
    QCOMPARE(f.List().count(), 0);
    QTest::qWait(200);
    QCOMPARE(f.List().count(), 0);
  }

  void RefreshAsksTheServerOfTheLastRequest() {
    FakeServerProcess servers(3, {});
    const QString started = servers.Start();
    QVERIFY2(started.isEmpty(), qPrintable(started));
    const auto profiles = servers.Profiles();
    PlayersFixture f;
    for (const auto& profile : profiles) f.AddRow(profile.Address());
    const QStringList linesOf1 = ExpectedLines(profiles[1]);
    const QStringList linesOf2 = ExpectedLines(profiles[2]);
    QVERIFY(linesOf1 != linesOf2);

    f.Select(2);
    f.PressF11();
    QTRY_COMPARE_WITH_TIMEOUT(ListTexts(f.List()), linesOf2, kReplyWaitMs);
    f.Select(1);
    f.PressF11();
    QTRY_COMPARE_WITH_TIMEOUT(ListTexts(f.List()), linesOf1, kReplyWaitMs);
    // Another row selected, but "Refresh" asks the server asked last.
    f.Select(2);
    f.Players().Refresh1()->trigger();
    QCOMPARE(f.List().count(), 0);  // cleared by the request, before any reply
    QTRY_COMPARE_WITH_TIMEOUT(ListTexts(f.List()), linesOf1, kReplyWaitMs);
    QTest::qWait(100);
    QCOMPARE(ListTexts(f.List()), linesOf1);
    QVERIFY(f.recorded.errors->empty());
  }

  void RequestFailuresGoToTheErrorReportAndTheWindowStaysHidden() {
    PlayersFixture f;
    f.AddRow("127.0.0.1:abc");
    f.AddRow("127.0.0.1:0");
    f.AddRow("127.0.0.1:70000");
    f.AddRow("127.0.0.1");
    f.List().addItem(QStringLiteral("old line"));

    f.Select(0);
    f.PressF11();
    QCOMPARE(f.recorded.errors->size(), size_t(1));
    QCOMPARE(f.recorded.errors->back(), std::string("'abc' is not a valid integer value"));
    QVERIFY(!f.Players().isVisible());
    QCOMPARE(f.List().count(), 0);
    QCOMPARE(f.Players().Players().CurrentAddress(), std::string("127.0.0.1:abc"));

    // A port the endpoint refuses to send to, and one past 65535.
    for (int row : {1, 2}) {
      f.Select(row);
      f.PressF11();
      QCOMPARE(f.recorded.errors->size(), size_t(row + 1));
      QVERIFY(!f.recorded.errors->back().empty());
      QVERIFY(!f.Players().isVisible());
    }

    // No ":": nothing is sent and nothing is reported, and the window shows its empty list.
    f.Select(3);
    f.PressF11();
    QCOMPARE(f.recorded.errors->size(), size_t(3));
    QVERIFY(f.Players().isVisible());
    QCOMPARE(f.List().count(), 0);

    // "Refresh" with the remembered bad port reports too, from the window's own menu.
    f.Select(0);
    f.PressF11();
    QCOMPARE(f.recorded.errors->size(), size_t(4));
    f.Players().Refresh1()->trigger();
    QCOMPARE(f.recorded.errors->size(), size_t(5));
    QCOMPARE(f.recorded.errors->back(), std::string("'abc' is not a valid integer value"));

    // Without a selected row F11 does nothing at all.
    f.Players().hide();
    f.Form().ListView1()->selectionModel()->clearSelection();
    QCOMPARE(f.Form().Table().SelectedIndex(), -1);
    f.PressF11();
    QVERIFY(!f.Players().isVisible());
    QCOMPARE(f.recorded.errors->size(), size_t(5));
  }

  void NetworkLinesCannotBreakIntoSeveralLines() {
    // Every C0 control but the tab, DEL and the C1 controls are replaced; so are the
    // Unicode line and paragraph separators.
    for (int byte = 0; byte < 0x20; ++byte) {
      const std::string bytes{'a', static_cast<char>(byte), 'b'};
      const QString shown = NetworkLine(bytes);
      QCOMPARE(shown.size(), 3);
      QCOMPARE(shown[1], byte == '\t' ? QChar(u'\t') : QChar(QChar::ReplacementCharacter));
    }
    QCOMPARE(NetworkLine("x\x7Fy"), QStringLiteral("x\uFFFDy"));
    QCOMPARE(NetworkLine("x\xC2\x85y"), QStringLiteral("x\uFFFDy"));  // NEL as UTF-8
    QCOMPARE(NetworkLine("x\xE2\x80\xA8y\xE2\x80\xA9"), QStringLiteral("x\uFFFDy\uFFFD"));
    // The two characters the text box keeps for its own blocks break a line as well.
    QCOMPARE(NetworkLine("x\xEF\xB7\x90y\xEF\xB7\x91"), QStringLiteral("x\uFFFDy\uFFFD"));
    // Printable text passes unchanged, UTF-8 when valid, else Latin-1.
    QCOMPARE(NetworkLine("caf\xC3\xA9 <b>"), QStringLiteral("caf\u00e9 <b>"));
    QCOMPARE(NetworkLine("caf\xE9"), QStringLiteral("caf\u00e9"));
    QCOMPARE(NetworkLine("\xA0\xFF"), QStringLiteral("\u00a0\u00ff"));
  }

  void RepliesFromAnySenderAreShownAsPlainText() {
    PlayersFixture f;
    TForm4& players = f.Players();
    TIdUDPServer sender(f.recorded.app->MainThread());
    sender.Open();
    const std::uint16_t port = players.IdUDPServer1().LocalPort();

    std::vector<fake::Player> list{{0, "<b>bold</b> caf\xE9", 300, 2.0f}, {7, "two\nlines", 5, 1.5f}};
    // Not a players reply: ignored.
    sender.Send("127.0.0.1", port, std::string("\xFF\xFF\xFF\xFF\x45\x01\x00x\x00\x05\x00\x00\x00", 13));
    sender.Send("127.0.0.1", port, fake::BuildPlayersReply(list));
    const QStringList expected{QStringLiteral("[44] - <b>bold</b> caf\u00e9"),
                               QStringLiteral("[5] - two\uFFFDlines")};
    QTRY_COMPARE_WITH_TIMEOUT(ListTexts(f.List()), expected, kReplyWaitMs);
    // A reply cut inside its second record keeps the first line only; it is appended.
    std::string cut = fake::BuildPlayersReply(list);
    cut.resize(cut.size() - 3);
    sender.Send("127.0.0.1", port, cut);
    QTRY_COMPARE_WITH_TIMEOUT(f.List().count(), 3, kReplyWaitMs);
    QCOMPARE(f.List().item(2)->text(), expected.front());
    // The list shows plain text only: one line per item, no markup.
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(&f.List())->child(0);
    QCOMPARE(item->text(QAccessible::Name), expected.front());
  }
};

QTEST_MAIN(PlayersWindowTest)
#include "PlayersWindowTest.moc"

#include <cstdint>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>

#include "fake/FakeReplies.h"
#include "gui/FakeServerProcess.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/Unit1.h"
#include "gui/Unit3.h"
#include "gui/model/ServerTableModel.h"
#include "net/TIdUDPServer.h"

using namespace vantrix;
using vantrix::test::FakeServerProcess;
using vantrix::test::MainWindowDriver;
using vantrix::test::ShownBytes;

namespace {

constexpr int kReplyWaitMs = 5000;

// The text a server's rules should give, formatted here from its data.
QString ExpectedText(const fake::ServerProfile& profile) {
  QStringList lines;
  for (const fake::Rule& rule : profile.rules)
    lines << ShownBytes(rule.name) + QStringLiteral(" - ") + ShownBytes(rule.value);
  return lines.join(u'\n');
}

struct RulesFixture : MainWindowDriver {
  TForm3& Rules() { return recorded.app->Form3(); }
  QString Text() { return Rules().Memo1()->toPlainText(); }
  void PressF12() { PressKey(Qt::Key_F12); }
};

}  // namespace

class RulesWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void WindowHasItsShapeAndOpenEndpoint() {
    RulesFixture f;
    TForm3& rules = f.Rules();
    QCOMPARE(rules.windowTitle(), QStringLiteral("Rules"));
    QCOMPARE(rules.windowType(), Qt::Tool);
    QCOMPARE(rules.size(), QSize(322, 329));
    QVERIFY(!rules.isVisible());
    QVERIFY(rules.Memo1()->isReadOnly());
    // A black window all through: the text box that fills it too.
    QCOMPARE(rules.palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(rules.Memo1()->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(rules.Memo1()->palette().color(QPalette::Text), QColor(0x00, 0xFF, 0x00));
    QCOMPARE(rules.Memo1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(rules.Memo1()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(rules.IdUDPServer1().Active());
    QVERIFY(rules.IdUDPServer1().LocalPort() != 0);
    QCOMPARE(rules.IdUDPServer1().BufferSize(), 32767);
    rules.resize(400, 300);
    rules.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rules));
    QCOMPARE(rules.Memo1()->geometry(), rules.rect());
  }

  void F12ListsTheRulesOfASplitReply_data() {
    QTest::addColumn<QStringList>("options");
    QTest::newRow("two parts") << QStringList{QStringLiteral("--split-rules")};
    QTest::newRow("five parts") << QStringList{QStringLiteral("--split-parts"), QStringLiteral("5")};
    QTest::newRow("one datagram") << QStringList{};
  }
  void F12ListsTheRulesOfASplitReply() {
    QFETCH(QStringList, options);
    FakeServerProcess servers(3, options, true);
    const QString started = servers.Start();
    QVERIFY2(started.isEmpty(), qPrintable(started));
    const auto profiles = servers.Profiles();
    RulesFixture f;
    f.LogPackets();
    for (const auto& profile : profiles) f.AddRow(profile.Address());
    // The third server's name and message are Latin-1.
    f.Select(2);
    f.PressF12();
    QVERIFY(f.recorded.errors->empty());
    QVERIFY(f.Rules().isVisible());
    const QString expected = ExpectedText(profiles[2]);
    QVERIFY(expected.contains(QStringLiteral("sv_motd - Caf\u00e9 Fran\u00e7ais")));
    QTRY_COMPARE_WITH_TIMEOUT(f.Text(), expected, kReplyWaitMs);
    QTest::qWait(100);
    QCOMPARE(f.Text(), expected);
    QCOMPARE(f.Rules().Rules().BufferSize() + f.Rules().Rules().PendingBytes(), size_t(0));
    // The replies came to the window's own endpoint: the main window never saw them.
    QVERIFY(f.MainEndpointSawNothing());
    // The text is readable by assistive technology.
    QAccessibleInterface* memo = QAccessible::queryAccessibleInterface(f.Rules().Memo1());
    QVERIFY(memo && memo->textInterface());
    QCOMPARE(memo->textInterface()->text(0, memo->textInterface()->characterCount()), expected);

    // Asking a second server clears the text box: only its rules are shown.
    f.Select(1);
    f.PressF12();
    QCOMPARE(f.Text(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(f.Text(), ExpectedText(profiles[1]), kReplyWaitMs);
  }

  void RequestFailuresGoToTheErrorReportAndTheWindowStaysHidden() {
    RulesFixture f;
    f.AddRow("127.0.0.1:abc");
    f.AddRow("127.0.0.1:0");
    f.AddRow("127.0.0.1");
    f.Rules().Memo1()->setPlainText(QStringLiteral("old"));
    f.Select(0);
    f.PressF12();
    QCOMPARE(f.recorded.errors->size(), size_t(1));
    QCOMPARE(f.recorded.errors->back(), std::string("'abc' is not a valid integer value"));
    QVERIFY(!f.Rules().isVisible());
    QCOMPARE(f.Text(), QString());
    f.Select(1);
    f.PressF12();
    QCOMPARE(f.recorded.errors->size(), size_t(2));
    QVERIFY(!f.Rules().isVisible());
    // No ":": nothing sent, nothing reported; the window shows its empty text box.
    f.Rules().Memo1()->setPlainText(QStringLiteral("old"));
    f.Select(2);
    f.PressF12();
    QCOMPARE(f.recorded.errors->size(), size_t(2));
    QVERIFY(f.Rules().isVisible());
    QCOMPARE(f.Text(), QString());
    // Without a selected row F12 does nothing.
    f.Rules().hide();
    f.Form().ListView1()->selectionModel()->clearSelection();
    f.PressF12();
    QVERIFY(!f.Rules().isVisible());
  }

  void RepliesAreAppendedAsPlainTextLines() {
    RulesFixture f;
    TIdUDPServer sender(f.recorded.app->MainThread());
    sender.Open();
    const std::uint16_t port = f.Rules().IdUDPServer1().LocalPort();
    const std::vector<fake::Rule> first{{"<i>name</i>", "caf\xE9"}, {"", "skipped"}, {"line", "a\r\nb"}};
    sender.Send("127.0.0.1", port, fake::BuildRulesReply(first));
    const QString firstText = QStringLiteral("<i>name</i> - caf\u00e9\nline - a\uFFFD\uFFFDb");
    QTRY_COMPARE_WITH_TIMEOUT(f.Text(), firstText, kReplyWaitMs);
    // A later reply from anyone is appended after the lines already there.
    const auto parts =
        fake::SplitReply(fake::BuildRulesReply({{"sv_gravity", "800"}, {"mp_timelimit", "30"}}), 77, 3);
    for (const std::string& part : parts) sender.Send("127.0.0.1", port, part);
    QTRY_COMPARE_WITH_TIMEOUT(f.Text(), firstText + QStringLiteral("\nsv_gravity - 800\nmp_timelimit - 30"),
                              kReplyWaitMs);
    QCOMPARE(f.Rules().Memo1()->blockCount(), 4);
    QVERIFY(f.Rules().Memo1()->updatesEnabled());
  }
};

QTEST_MAIN(RulesWindowTest)
#include "RulesWindowTest.moc"

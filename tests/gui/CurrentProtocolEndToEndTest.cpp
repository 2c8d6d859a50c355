// The window against simulated servers of today (vantrix-fakeserver --current) on
// 127.0.0.1, with "Current" chosen in the configuration dialog: F9, F10, F11, F12, and the
// setting's way through config.ini.

#include <chrono>
#include <string>
#include <vector>

#include <QAccessible>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "core/settings/SettingsText.h"
#include "fake/FakeReplies.h"
#include "gui/ConfigTestSupport.h"
#include "gui/FakeServerProcess.h"
#include "gui/MainWindowDriver.h"
#include "gui/Unit1.h"
#include "gui/Unit3.h"
#include "gui/Unit4.h"
#include "gui/Unit5.h"
#include "support/NetWatchdog.h"

using namespace vantrix;
using namespace std::chrono_literals;
using vantrix::test::ConfigFixture;
using vantrix::test::CrLfLines;
using vantrix::test::FakeServerProcess;
using vantrix::test::NetWatchdog;
using vantrix::test::ReadBytes;
using vantrix::test::ShownBytes;

namespace {

constexpr int kReplyWaitMs = 5000;
constexpr int kServers = 4;
// Enough rules for a reply of several datagrams, compressed or not.
const QStringList kRulesOptions{QStringLiteral("--extra-rules"), QStringLiteral("120"),
                                QStringLiteral("--split-size"), QStringLiteral("400")};

QStringList ExpectedPlayers(const fake::ServerProfile& profile) {
  QStringList lines;
  for (const fake::Player& player : profile.players)
    lines << QStringLiteral("[%1] - ").arg(static_cast<std::uint32_t>(player.score) & 0xFFu) +
                 ShownBytes(player.name);
  return lines;
}

QString ExpectedRules(const fake::ServerProfile& profile) {
  QStringList lines;
  for (const fake::Rule& rule : profile.rules)
    lines << ShownBytes(rule.name) + QStringLiteral(" - ") + ShownBytes(rule.value);
  return lines.join(u'\n');
}

QStringList ListTexts(const QListWidget& list) {
  QStringList texts;
  for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
  return texts;
}

struct CurrentFixture : ConfigFixture {
  explicit CurrentFixture(QStringList extra) : servers(kServers, extra << QStringLiteral("--current")) {}

  bool Start() {
    error = servers.Start();
    if (!error.isEmpty()) return false;
    fake::ServerSetup setup;
    setup.count = kServers;
    setup.basePort = servers.BasePort();
    setup.extraRules = 120;
    setup.current = true;
    profiles = fake::MakeProfiles(setup);
    for (const auto& profile : profiles) Main().Table().AppendRow(profile.Address());
    Dialog().ComboBox1()->setCurrentIndex(1);  // "Current"
    return true;
  }
  void Select(int row) { Main().Table().SetSelectedIndex(row); }
  void Press(Qt::Key key) {
    QVERIFY(test::Activate(Main()));
    QTest::keyClick(Main().ListView1(), key);
  }

  FakeServerProcess servers;
  QString error;
  std::vector<fake::ServerProfile> profiles;
};

}  // namespace

class CurrentProtocolEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void TheChoiceIsSavedAsATenthLineAndReadBack() {
    ConfigFixture f;
    f.OpenDialog();
    QComboBox* box = f.Dialog().ComboBox1();
    QVERIFY(box);
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QStringLiteral("Original"));
    QCOMPARE(box->itemText(1), QStringLiteral("Current"));
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(ReadBytes(f.path), DefaultSettingsText());

    box->setCurrentIndex(1);
    QTest::mouseClick(f.Dialog().Button2(), Qt::LeftButton);
    QCOMPARE(ReadBytes(f.path), DefaultSettingsText() + "QueryProtocol=current\r\n");
    QCOMPARE(f.Dialog().Snapshot().queryProtocol, QueryProtocol::kCurrent);

    // Reopening reads the file: a changed box without Save is put back.
    box->setCurrentIndex(0);
    f.OpenDialog();
    QCOMPARE(box->currentIndex(), 1);

    box->setCurrentIndex(0);
    QTest::mouseClick(f.Dialog().Button2(), Qt::LeftButton);
    QCOMPARE(ReadBytes(f.path), DefaultSettingsText());

    // Any other value leaves the box as it was; the key's case does not matter.
    QVERIFY(test::WriteBytes(f.path, DefaultSettingsText() + "queryPROTOCOL=current\r\n"));
    f.OpenDialog();
    QCOMPARE(box->currentIndex(), 1);
    QVERIFY(test::WriteBytes(f.path, "QueryProtocol=Original\r\n"));
    f.OpenDialog();
    QCOMPARE(box->currentIndex(), 1);
    // On the "Other" tab, named by its caption for assistive technology.
    f.Dialog().PageControl1()->setCurrentWidget(box->parentWidget());
    QCOMPARE(f.Dialog().PageControl1()->currentIndex(), 1);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(box);
    QVERIFY(access);
    QStringList labels;
    for (const auto& [labelling, relation] : access->relations(QAccessible::Label))
      labels << labelling->text(QAccessible::Name);
    QCOMPARE(labels, QStringList{QStringLiteral("Query protocol")});
  }

  void F9AndF10FillEveryAnsweringRow() {
    CurrentFixture f({});
    QVERIFY2(f.Start(), qPrintable(f.error));
    ServerTable& table = f.Main().Table();
    f.Select(2);
    {
      NetWatchdog watchdog(10s, "F9 against a server of today");
      f.Press(Qt::Key_F9);
    }
    QCOMPARE(table.Cell(2, kWCell), std::string("+"));
    QCOMPARE(table.Cell(2, kNameCell), f.profiles[2].currentInfo.name);
    QCOMPARE(table.Cell(0, kWCell), std::string(kBlank));
    {
      NetWatchdog watchdog(15s, "F10 against servers of today");
      f.Press(Qt::Key_F10);
    }
    for (const auto& profile : f.profiles) {
      const int row = profile.index;
      QCOMPARE(table.Cell(row, kWCell), std::string("+"));
      QCOMPARE(table.Cell(row, kNameCell), profile.currentInfo.name);
      QCOMPARE(table.Cell(row, kMapCell), profile.currentInfo.map);
      QCOMPARE(table.Cell(row, kPlayersCell), std::to_string(profile.currentInfo.players) + "/" +
                                                  std::to_string(profile.currentInfo.maxPlayers));
      const std::uint8_t environment = profile.currentInfo.environment;
      QCOMPARE(table.Cell(row, kSCell), std::string(environment == 'w'   ? "W"
                                                    : environment == 'l' ? "L"
                                                                         : "M"));
      QVERIFY(table.Cell(row, kPingCell) != kBlank);
    }
    QCOMPARE(f.Main().StatusPanel(2)->text(), QStringLiteral("Idle..."));
  }

  void TheOriginalChoiceGetsNothingFromServersOfToday() {
    CurrentFixture f({});
    QVERIFY2(f.Start(), qPrintable(f.error));
    f.Dialog().ComboBox1()->setCurrentIndex(0);
    f.Select(1);
    f.Press(Qt::Key_F9);
    QCOMPARE(f.Main().Table().Cell(1, kWCell), std::string("-"));
  }

  void F11ListsThePlayers() {
    CurrentFixture f({});
    QVERIFY2(f.Start(), qPrintable(f.error));
    TForm4& players = f.recorded.app->Form4();
    for (int row : {1, 2}) {
      f.Select(row);
      f.Press(Qt::Key_F11);
      QVERIFY(players.isVisible());
      QTRY_COMPARE_WITH_TIMEOUT(ListTexts(*players.ListBox1()), ExpectedPlayers(f.profiles[row]),
                                kReplyWaitMs);
    }
    // "Refresh" asks the same server again, challenge and all.
    players.Refresh1Click();
    QCOMPARE(players.ListBox1()->count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(ListTexts(*players.ListBox1()), ExpectedPlayers(f.profiles[2]), kReplyWaitMs);
  }

  void F12ListsTheRulesOfASplitReply_data() {
    QTest::addColumn<QStringList>("options");
    QTest::newRow("compressed") << (QStringList(kRulesOptions) << QStringLiteral("--compress"));
    QTest::newRow("newer header") << kRulesOptions;
    QTest::newRow("older header") << (QStringList(kRulesOptions) << QStringLiteral("--old-split"));
  }
  void F12ListsTheRulesOfASplitReply() {
    QFETCH(QStringList, options);
    CurrentFixture f(options);
    QVERIFY2(f.Start(), qPrintable(f.error));
    TForm3& rules = f.recorded.app->Form3();
    f.Select(3);
    f.Press(Qt::Key_F12);
    QVERIFY(rules.isVisible());
    const QString expected = ExpectedRules(f.profiles[3]);
    QVERIFY(expected.count(u'\n') > 100);
    QTRY_COMPARE_WITH_TIMEOUT(rules.Memo1()->toPlainText(), expected, kReplyWaitMs);
  }
};

QTEST_MAIN(CurrentProtocolEndToEndTest)
#include "CurrentProtocolEndToEndTest.moc"

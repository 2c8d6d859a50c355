// "Check all servers" in the main window over its real endpoint against the simulated
// servers on 127.0.0.1, started as a child process.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "core/query/QueryEngine.h"
#include "core/settings/SettingsValuesReader.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/QueryFakeServers.h"
#include "gui/Unit1.h"
#include "gui/text/DisplayText.h"
#include "support/NetWatchdog.h"

using namespace vantrix;
using vantrix::test::Activate;
using namespace std::chrono_literals;
using vantrix::test::NetWatchdog;
using vantrix::test::QueryFakeServers;
using vantrix::test::RecordedApplication;

namespace {

std::string UpperLetter(std::uint8_t letter) {
  return std::string(1, static_cast<char>(letter - 'a' + 'A'));
}

// The text a screen reader gets for one cell of the list.
QString SpokenCell(QTreeView& view, int row, int column) {
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
  if (!list || !list->tableInterface()) return {};
  QAccessibleInterface* cell = list->tableInterface()->cellAt(row, column);
  return cell ? cell->text(QAccessible::Name) : QString();
}

// Notes each new text of the message panel, looking whenever events are processed.
class PanelWatcher {
 public:
  explicit PanelWatcher(QLabel& label) : m_label(label) {
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, &label, [this] { Look(); });
    m_timer.start();
  }
  void Look() {
    const QString text = m_label.text();
    if (m_texts.isEmpty() || m_texts.last() != text) m_texts << text;
  }
  const QStringList& Texts() const { return m_texts; }

 private:
  QLabel& m_label;
  QTimer m_timer;
  QStringList m_texts;
};

}  // namespace

class CheckAllEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  // Twenty servers of which five never answer, with the wait polling in slices of 5 ms
  // and spinning (0).
  void TwentyServersFiveSilent() {
    QFETCH(QString, udpDelay);
    QueryFakeServers servers;
    fake::ServerSetup setup;
    setup.count = 20;
    setup.silentCount = 5;
    setup.oddNames = true;
    QVERIFY2(servers.Start(setup), servers.Error().c_str());
    const auto profiles = servers.Profiles();

    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    settings.Values().udpDelay = udpDelay.toStdString();
    form.SetSettingsReader(&settings);
    ServerTable& table = form.Table();
    for (const auto& profile : profiles) {
      ServerRow row = ServerRow::Blank(profile.Address());
      row.cells[kCommentCell] = "comment " + std::to_string(profile.index);
      row.cells[kNameCell] = "stale";
      table.AppendRow(row);
    }
    table.SetSelectedIndex(7);
    QVERIFY(Activate(form));

    PanelWatcher watcher(*form.StatusPanel(2));
    watcher.Look();
    {
      NetWatchdog watchdog(15s, "check all over 20 servers");
      QTest::keyClick(form.ListView1(), Qt::Key_F10);
    }
    watcher.Look();

    int answered = 0;
    for (const auto& profile : profiles) {
      const int position = profile.index;
      const std::string what = "row " + std::to_string(position);
      QCOMPARE(table.Address(position), profile.Address());
      QCOMPARE(table.Cell(position, kCommentCell), "comment " + std::to_string(position));
      if (profile.behaviour == fake::Behaviour::kSilent) {
        QVERIFY2(table.Cell(position, kWCell) == "-", what.c_str());
        // Cells are not cleared before a check-all query.
        QCOMPARE(table.Cell(position, kNameCell), std::string("stale"));
        QCOMPARE(table.Cell(position, kPingCell), std::string(kBlank));
        continue;
      }
      ++answered;
      const fake::InfoFields& info = profile.info;
      QVERIFY2(table.Cell(position, kWCell) == "+", what.c_str());
      QCOMPARE(table.Cell(position, kNameCell), info.name);
      QCOMPARE(table.Cell(position, kMapCell), info.map);
      QCOMPARE(table.Cell(position, kPlayersCell),
               std::to_string(info.players) + "/" + std::to_string(info.maxPlayers));
      QCOMPARE(table.Cell(position, kDCell), UpperLetter(info.type));
      QCOMPARE(table.Cell(position, kSCell), UpperLetter(info.os));
      QCOMPARE(table.Cell(position, kPCell), std::string(info.password ? "+" : "-"));
      bool numeric = false;
      const int ping = QString::fromStdString(std::string(table.Cell(position, kPingCell))).toInt(&numeric);
      QVERIFY2(numeric, what.c_str());
      QVERIFY2(ping >= 0 && ping < 400, what.c_str());
      // The list shows the raw bytes readably, to the eye and to a screen reader.
      QCOMPARE(SpokenCell(*form.ListView1(), position, 1), ToDisplay(info.name));
    }
    QCOMPARE(answered, setup.count - setup.silentCount);

    // One datagram per answering server reached the window and was counted.
    const auto counts = servers.Stop();
    QVERIFY(counts.has_value());
    QCOMPARE(counts->requests, static_cast<long>(setup.count));
    QCOMPARE(counts->datagrams, static_cast<long>(answered));
    QCOMPARE(form.Engine().ReceivedCount(), answered);
    QCOMPARE(form.StatusPanel(1)->text(), QStringLiteral("recv ") + QString::number(answered));

    // The progress counts the rows done, never the last one, and ends with "Idle...".
    QStringList progress;
    for (int done = 0; done < setup.count; ++done)
      progress << QStringLiteral("Checking servers: %1/%2").arg(done).arg(setup.count);
    progress << QStringLiteral("Idle...");
    QStringList seen = watcher.Texts();
    seen.removeFirst();  // the text from before the run
    QCOMPARE(seen, progress);

    QVERIFY(!form.Engine().CheckAllActive());
    QCOMPARE(table.SelectedIndex(), 7);
    QVERIFY(recorded.errors->empty());
  }
  void TwentyServersFiveSilent_data() {
    QTest::addColumn<QString>("udpDelay");
    QTest::newRow("UDPDelay 5") << QStringLiteral("5");
    QTest::newRow("UDPDelay 0") << QStringLiteral("0");
  }

  // Servers that answer after the time-out: each row is marked "-" first, and its late
  // reply, arriving during a later row's wait (which it ends) or after the run, is still
  // decoded into its own row and timed from its own request.
  void LateRepliesAreDecodedIntoTheirOwnRows() {
    QueryFakeServers servers;
    fake::ServerSetup setup;
    setup.count = 4;
    setup.slowCount = 2;
    QVERIFY2(servers.Start(setup, {QStringLiteral("--slow-ms"), QStringLiteral("600")}),
             servers.Error().c_str());
    const auto profiles = servers.Profiles();
    std::vector<int> slow;
    for (const auto& profile : profiles)
      if (profile.behaviour == fake::Behaviour::kSlow) slow.push_back(profile.index);
    QCOMPARE(slow, (std::vector<int>{1, 3}));

    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    settings.Values().progress = false;
    form.SetSettingsReader(&settings);
    for (const auto& profile : profiles) form.Table().AppendRow(profile.Address());
    {
      NetWatchdog watchdog(15s, "check all with slow servers");
      form.CheckallF121Click();
    }
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Idle..."));
    // The last late reply lands after the run; give it the time to come.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (form.Engine().ReceivedCount() < setup.count && std::chrono::steady_clock::now() < deadline)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCOMPARE(form.Engine().ReceivedCount(), setup.count);
    for (const auto& profile : profiles) {
      QCOMPARE(form.Table().Cell(profile.index, kWCell), std::string("+"));
      QCOMPARE(form.Table().Cell(profile.index, kNameCell), profile.info.name);
    }
    for (int position : slow) {
      bool numeric = false;
      const int ping =
          QString::fromStdString(std::string(form.Table().Cell(position, kPingCell))).toInt(&numeric);
      QVERIFY(numeric);
      QVERIFY2(ping >= 400, std::string(form.Table().Cell(position, kPingCell)).c_str());
    }
  }

  // A click on the "Comment" header while the run waits on the second server turns the list
  // round; the run still asks every server it started with exactly once.
  void AHeaderClickDuringTheRunNeitherSkipsNorRepeatsAServer() {
    QueryFakeServers servers;
    fake::ServerSetup setup;
    setup.count = 12;
    QVERIFY2(servers.Start(setup), servers.Error().c_str());
    const auto profiles = servers.Profiles();

    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    ServerTable& table = form.Table();
    // Comments that sort the other way round from the list's order.
    for (const auto& profile : profiles) {
      ServerRow row = ServerRow::Blank(profile.Address());
      row.cells[kCommentCell] = std::string("comment ") + static_cast<char>('z' - profile.index);
      table.AppendRow(row);
    }
    QVERIFY(Activate(form));
    QHeaderView* header = form.ListView1()->header();
    const QPoint comment(header->sectionViewportPosition(5) + header->sectionSize(5) / 2,
                         header->height() / 2);
    int clicks = 0;
    QTimer clicker;
    clicker.setInterval(0);
    connect(&clicker, &QTimer::timeout, this, [&] {
      if (clicks == 0 && form.StatusPanel(2)->text() == QStringLiteral("Checking servers: 1/12")) {
        ++clicks;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, comment);
      }
    });
    clicker.start();
    {
      NetWatchdog watchdog(15s, "check all with a header click");
      QTest::keyClick(form.ListView1(), Qt::Key_F10);
    }
    clicker.stop();
    QCOMPARE(clicks, 1);
    QCOMPARE(table.SortColumn(), 5);
    QCOMPARE(table.Address(0), profiles.back().Address());  // the click did turn the list round
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Idle..."));

    for (const auto& profile : profiles) {
      const std::optional<int> position = table.FindRowByAddress(profile.Address());
      QVERIFY(position.has_value());
      QCOMPARE(*position, setup.count - 1 - profile.index);
      QVERIFY2(table.Cell(*position, kWCell) == "+", profile.Address().c_str());
      QCOMPARE(table.Cell(*position, kNameCell), profile.info.name);
    }
    const auto counts = servers.Stop();
    QVERIFY(counts.has_value());
    QCOMPARE(counts->requests, static_cast<long>(setup.count));  // none asked twice
    QCOMPARE(form.Engine().ReceivedCount(), setup.count);
    QVERIFY(recorded.errors->empty());
  }
};

QTEST_MAIN(CheckAllEndToEndTest)
#include "CheckAllEndToEndTest.moc"

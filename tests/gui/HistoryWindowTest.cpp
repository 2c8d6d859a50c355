#include "gui/history/HistoryWindow.h"

#include <time.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "core/settings/SettingsValuesReader.h"
#include "gui/GuiTestSupport.h"
#include "gui/QueryFakeServers.h"
#include "gui/Unit1.h"
#include "gui/history/HistoryPlot.h"
#include "gui/history/HistoryWiring.h"
#include "gui/model/ServerTableModel.h"
#include "gui/platform/TableCheckDriver.h"
#include "history/HistoryReport.h"
#include "support/FakeWallClock.h"
#include "support/TestData.h"

using namespace vantrix;

namespace {

constexpr std::int64_t kMidnightUtc = 1'699'920'000;
const QString kDash = QString(QChar(0x2013));

}  // namespace

class HistoryWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The busiest hour is a local clock hour.
    setenv("TZ", "UTC", 1);
    tzset();
  }

  // A day of a watched row's checks every five minutes, fed with a fake clock: its first nine
  // went unanswered, players peak at 18 at 18:00, ping cycles 40, 41, 42.
  void ShowsADayOfFedSamples() {
    test::RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    test::TempDir dir;
    test::FakeWallClock clock(kMidnightUtc);
    form.History().UseFile((dir / "history.sqlite").string(), clock);
    ServerTable& table = form.Table();
    table.AppendRow("10.0.0.5:27015");
    table.AppendRow("10.0.0.6:27015");
    table.SetCell(0, kNameCell, "Evening server");
    form.History().Recorder().SetWatched(
        [](const ServerRow& row) { return row.address == "10.0.0.5:27015"; });
    const std::vector<RowId> rows = {table.IdOf(0), table.IdOf(1)};
    for (int i = 0; i < 288; ++i) {
      const int hour = i / 12;
      table.SetCell(0, kWCell, i >= 9 ? "+" : "-");
      table.SetCell(0, kPlayersCell, std::to_string(hour == 18 ? 18 : hour % 10) + "/20");
      table.SetCell(0, kPingCell, std::to_string(40 + i % 3));
      table.SetCell(1, kWCell, "+");
      form.History().Recorder().ChecksFinished(rows);
      clock.Advance(300);
    }
    form.History().Flush();

    table.SetSelectedIndex(0);
    form.Serverhistory1Click();
    HistoryWindow* window = form.History().Window();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowTitle(), QStringLiteral("History: Evening server (10.0.0.5:27015)"));
    const QString day = QStringLiteral("24 hours: 288 samples, players 0") + kDash +
                        QStringLiteral("18, mean ping 41 ms, answered 97%");
    QCOMPARE(window->accessibleDescription(), day);
    QCOMPARE(window->SummaryLabel()->text(), day);
    QVERIFY(window->SpanButton(HistorySpan::kDay)->isChecked());
    // One line from the first answer on; the maximum sets the players' scale.
    const std::vector<std::pair<std::size_t, std::size_t>> oneRun = {{9, 287}};
    QCOMPARE(window->PlayersPlot().Runs(), oneRun);
    QCOMPARE(window->PlayersPlot().Top(), 20);
    QCOMPARE(window->PingPlot().Top(), 42);
    QVERIFY(!window->PlayersPlot().grab().isNull());

    QTest::mouseClick(window->SpanButton(HistorySpan::kWeek), Qt::LeftButton);
    QCOMPARE(window->Span(), HistorySpan::kWeek);
    QVERIFY2(window->accessibleDescription().startsWith(QStringLiteral("7 days: 288 samples, players 0") +
                                                        kDash + QStringLiteral("18, mean ping ")),
             qPrintable(window->accessibleDescription()));

    // The Players cell's tooltip, for the row with history only.
    const ServerTableModel& model = form.Model();
    QCOMPARE(model.data(model.index(0, kPlayersCell + 1), Qt::ToolTipRole).toString(),
             QStringLiteral("24 h: 0") + kDash + QStringLiteral("18 players, busiest 18:00") + kDash +
                 QStringLiteral("19:00"));
    QVERIFY(!model.data(model.index(1, kPlayersCell + 1), Qt::ToolTipRole).isValid());
    QVERIFY(!model.data(model.index(0, kNameCell + 1), Qt::ToolTipRole).isValid());

    table.SetSelectedIndex(1);
    form.Serverhistory1Click();
    QCOMPARE(window->windowTitle(), QStringLiteral("History: 10.0.0.6:27015"));
    QCOMPARE(window->accessibleDescription(), QStringLiteral("No history yet"));
    QVERIFY(window->PlayersPlot().Runs().empty());
  }

  // F9 and Ctrl+F10 against the simulated servers: each finished check of a watched row is
  // one sample, answered or not; rows that are not watched leave nothing.
  void ChecksOfWatchedRowsAreRecorded() {
    test::QueryFakeServers servers;
    fake::ServerSetup setup;
    setup.count = 4;
    setup.silentCount = 1;
    QVERIFY2(servers.Start(setup, {}), servers.Error().c_str());
    const auto profiles = servers.Profiles();
    test::RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    form.SetSettingsReader(&settings);
    test::TempDir dir;
    test::FakeWallClock clock(kMidnightUtc);
    form.History().UseFile((dir / "history.sqlite").string(), clock);
    const std::string unwatched = profiles.back().Address();
    form.History().Recorder().SetWatched([&](const ServerRow& row) { return row.address != unwatched; });
    for (const auto& profile : profiles) form.Table().AppendRow(profile.Address());

    form.Table().SetSelectedIndex(0);
    form.Checkserver1Click();
    clock.Advance(30);
    form.Checkallatonce1Click();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (form.AtOnce().Running() && std::chrono::steady_clock::now() < deadline)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QVERIFY(!form.AtOnce().Running());
    form.History().Flush();

    for (std::size_t i = 0; i < profiles.size(); ++i) {
      const std::vector<HistoryPoint> points = ReadHistory(
          (dir / "history.sqlite").string(), profiles[i].Address(), HistorySpan::kDay, clock.NowSeconds());
      const std::size_t expected = profiles[i].Address() == unwatched ? 0 : i == 0 ? 2 : 1;
      QCOMPARE(points.size(), expected);
      for (const HistoryPoint& point : points) {
        const bool silent = profiles[i].behaviour == fake::Behaviour::kSilent;
        QCOMPARE(point.answered, silent ? 0 : 1);
        if (!silent) {
          QCOMPARE(point.playersMax, int{profiles[i].info.players});
          QCOMPARE(point.maxPlayers, int{profiles[i].info.maxPlayers});
        }
      }
    }
  }

  void ADamagedFileIsReportedInTheMessagePanel() {
    test::RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    test::TempDir dir;
    test::Spit(dir / "history.sqlite", std::string(4096, 'x'));
    test::FakeWallClock clock(kMidnightUtc);
    form.History().UseFile((dir / "history.sqlite").string(), clock);
    QTRY_VERIFY_WITH_TIMEOUT(
        form.StatusPanel(2)->text().startsWith(QStringLiteral("Error: The history file was damaged")), 5000);
    QVERIFY(std::filesystem::exists(dir / "history.sqlite.corrupt-20231114-000000"));
  }
};

QTEST_MAIN(HistoryWindowTest)
#include "HistoryWindowTest.moc"

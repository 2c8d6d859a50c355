// "Check all servers at once" in the main window over its real endpoint against the
// simulated servers on 127.0.0.1, started as a child process.

#include <chrono>
#include <map>
#include <string>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTreeView>

#include "core/query/QueryEngine.h"
#include "core/settings/SettingsValuesReader.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/QueryFakeServers.h"
#include "gui/Unit1.h"
#include "gui/Unit7.h"
#include "gui/platform/TableCheckDriver.h"
#include "net/TIdUDPServer.h"

using namespace vantrix;
using namespace std::chrono_literals;
using vantrix::test::Activate;
using vantrix::test::QueryFakeServers;
using vantrix::test::RecordedApplication;

namespace {

// Runs the event loop until `done` holds or the time is up (bounded); true when it held.
template <class Done>
bool ProcessUntil(Done done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

std::string UpperLetter(std::uint8_t letter) {
  return std::string(1, static_cast<char>(letter - 'a' + 'A'));
}

}  // namespace

class CheckAtOnceEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  // Forty servers, eight of them silent, answering 150 ms after each request: while the
  // requests are out the list is sorted and a row deleted; every remaining row still gets
  // its own server's answer, by identity.
  void SortAndDeleteDuringTheRun() {
    QueryFakeServers servers;
    fake::ServerSetup setup;
    setup.count = 40;
    setup.silentCount = 8;
    QVERIFY2(servers.Start(setup, {QStringLiteral("--delay-ms"), QStringLiteral("150")}),
             servers.Error().c_str());
    const auto profiles = servers.Profiles();
    std::map<std::string, const fake::ServerProfile*> byAddress;
    for (const auto& profile : profiles) byAddress[profile.Address()] = &profile;

    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    form.SetSettingsReader(&settings);
    ServerTable& table = form.Table();
    for (const auto& profile : profiles) {
      ServerRow row = ServerRow::Blank(profile.Address());
      row.cells[kNameCell] = "stale";
      row.cells[kCommentCell] = "comment " + std::to_string(profile.index);
      table.AppendRow(row);
    }
    QVERIFY(Activate(form));
    const auto started = std::chrono::steady_clock::now();
    QTest::keyClick(form.ListView1(), Qt::Key_F10, Qt::ControlModifier);
    QVERIFY(form.AtOnce().Running());
    QVERIFY(form.IdUDPServer1().ReadAhead());  // only a parallel run reads ahead
    QVERIFY(form.StatusPanel(2)->text().startsWith(QStringLiteral("Checking servers: ")));

    // The requests are out, the answers not yet in: sort by name descending, delete one.
    QVERIFY(ProcessUntil([&] { return form.AtOnce().Run()->Scheduler().Sent() == 40; }, 5s));
    QCOMPARE(form.Engine().ReceivedCount(), 0);
    form.ListView1ColumnClick(0);
    form.ListView1ColumnClick(0);  // addresses descending: every row moved
    QCOMPARE(table.Address(0), profiles.back().Address());
    const std::string deleted(table.Address(5));
    table.SetSelectedIndex(5);
    form.DeleteserverF61Click();
    QCOMPARE(table.Count(), 39);
    table.AppendRow(profiles[1].Address());  // added during the run: not queried

    QVERIFY(ProcessUntil([&] { return !form.AtOnce().Running(); }, 10s));
    QVERIFY(!form.IdUDPServer1().ReadAhead());
    const auto took = std::chrono::steady_clock::now() - started;
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Idle..."));
    // Two time-outs for the silent servers, not one per row.
    QVERIFY2(took < 3s,
             std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()).c_str());

    int answered = 0;
    for (int position = 0; position < 39; ++position) {
      const fake::ServerProfile& profile = *byAddress.at(std::string(table.Address(position)));
      const std::string what(table.Address(position));
      QVERIFY(table.Address(position) != deleted);
      QCOMPARE(table.Cell(position, kCommentCell), "comment " + std::to_string(profile.index));
      if (profile.behaviour == fake::Behaviour::kSilent) {
        QVERIFY2(table.Cell(position, kWCell) == "-", what.c_str());
        QCOMPARE(table.Cell(position, kNameCell), std::string("stale"));
        QCOMPARE(table.Cell(position, kPingCell), std::string(kBlank));
        continue;
      }
      ++answered;
      QVERIFY2(table.Cell(position, kWCell) == "+", what.c_str());
      QCOMPARE(table.Cell(position, kNameCell), profile.info.name);
      QCOMPARE(table.Cell(position, kMapCell), profile.info.map);
      QCOMPARE(table.Cell(position, kPlayersCell),
               std::to_string(profile.info.players) + "/" + std::to_string(profile.info.maxPlayers));
      QCOMPARE(table.Cell(position, kDCell), UpperLetter(profile.info.type));
      QCOMPARE(table.Cell(position, kSCell), UpperLetter(profile.info.os));
      const int ping = std::stoi(std::string(table.Cell(position, kPingCell)));
      QVERIFY2(ping >= 140 && ping < 400, std::string(table.Cell(position, kPingCell)).c_str());
    }
    QCOMPARE(table.Cell(39, kWCell), std::string(kBlank));
    QCOMPARE(table.Cell(39, kNameCell), std::string(kBlank));

    // Every answer, the deleted row's included, was counted and logged once.
    const int replies = 32;
    QVERIFY(answered == replies || answered == replies - 1);
    const auto counts = servers.Stop();
    QVERIFY(counts.has_value());
    QCOMPARE(counts->requests, 40L + 8L);  // one more attempt for each silent server
    QCOMPARE(form.Engine().ReceivedCount(), replies);
    QCOMPARE(form.StatusPanel(1)->text(), QStringLiteral("recv %1").arg(replies));
    QCOMPARE(recorded.app->Form7().Log().Entries().size(), static_cast<std::size_t>(replies));
    QVERIFY(recorded.errors->empty());
  }

  // Esc stops the run, and so does the command again: rows answered keep their answer,
  // the others keep their cells; the late answers then go to the window's own handler,
  // which decodes them by address as it always has.
  void EscOrTheCommandAgainStops() {
    for (bool escape : {true, false}) {
      QueryFakeServers servers;
      fake::ServerSetup setup;
      setup.count = 6;
      setup.slowCount = 3;
      QVERIFY2(servers.Start(setup, {QStringLiteral("--slow-ms"), QStringLiteral("300")}),
               servers.Error().c_str());
      const auto profiles = servers.Profiles();

      RecordedApplication recorded;
      TForm1& form = recorded.app->Form1();
      SettingsValuesReader settings;
      form.SetSettingsReader(&settings);
      for (const auto& profile : profiles) form.Table().AppendRow(profile.Address());
      QVERIFY(Activate(form));
      form.Checkallatonce1Click();
      QVERIFY(ProcessUntil([&] { return form.Engine().ReceivedCount() == 3; }, 5s));
      if (escape)
        QTest::keyClick(form.ListView1(), Qt::Key_Escape);
      else
        QTest::keyClick(&form, Qt::Key_F10, Qt::ControlModifier);
      QVERIFY(!form.AtOnce().Running());
      QVERIFY(!form.IdUDPServer1().ReadAhead());
      QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Idle..."));
      for (const auto& profile : profiles) {
        const bool slow = profile.behaviour == fake::Behaviour::kSlow;
        QCOMPARE(form.Table().Cell(profile.index, kWCell), std::string(slow ? kBlank : "+"));
      }
      // The slow answers come after the stop and are the original handler's.
      QVERIFY(ProcessUntil([&] { return form.Engine().ReceivedCount() == 6; }, 5s));
      for (const auto& profile : profiles) {
        QCOMPARE(form.Table().Cell(profile.index, kWCell), std::string("+"));
        QCOMPARE(form.Table().Cell(profile.index, kNameCell), profile.info.name);
      }
    }
  }
};

QTEST_MAIN(CheckAtOnceEndToEndTest)
#include "CheckAtOnceEndToEndTest.moc"

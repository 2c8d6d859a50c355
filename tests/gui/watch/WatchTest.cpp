// Watched rows, auto refresh and their notifications: the notifier against a stand-in
// notification service on a private session bus, the window against simulated servers.

#include <chrono>
#include <string>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "core/settings/SettingsValuesReader.h"
#include "core/watch/WatchSettings.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/QueryFakeServers.h"
#include "gui/Unit1.h"
#include "gui/model/ServerTableModel.h"
#include "gui/platform/TableCheckDriver.h"
#include "gui/watch/BuddiesDialog.h"
#include "gui/watch/DesktopNotifier.h"
#include "gui/watch/StandInNotifications.h"
#include "gui/watch/WatchCommand.h"
#include "support/TestData.h"

using namespace vantrix;
using namespace std::chrono_literals;
using vantrix::test::Activate;
using vantrix::test::PrivateSessionBus;
using vantrix::test::ProcessUntil;
using vantrix::test::QueryFakeServers;
using vantrix::test::RecordedApplication;
using vantrix::test::StandInNotifications;

namespace {

const WatchEvent kEvent{"1.2.3.4:5", "Server online", "A<b>&c (1.2.3.4:5): 1/8 players"};

std::string FileText(const RecordedApplication& recorded) {
  return test::Slurp(recorded.app->Form1().Watch().Path());
}

QStringList Summaries(const StandInNotifications& service) {
  QStringList out;
  for (const auto& shown : service.shown) out << shown.summary + QStringLiteral(": ") + shown.body;
  out.sort();
  return out;
}

}  // namespace

class WatchTest : public QObject {
  Q_OBJECT

 private slots:
  void NotifiesThroughTheService_data() {
    QTest::addColumn<bool>("markup");
    QTest::addColumn<QString>("body");
    QTest::newRow("markup") << true << QStringLiteral("A&lt;b&gt;&amp;c (1.2.3.4:5): 1/8 players");
    QTest::newRow("plain") << false << QStringLiteral("A<b>&c (1.2.3.4:5): 1/8 players");
  }
  void NotifiesThroughTheService() {
    QFETCH(bool, markup);
    QFETCH(QString, body);
    PrivateSessionBus bus;
    QVERIFY2(bus.Start(), "dbus-daemon (package dbus-daemon) did not start");
    StandInNotifications service(bus.Connect(QStringLiteral("service")), markup);
    QVERIFY(service.Register());
    QStringList fallback;
    DesktopNotifier notifier([&](const std::string& line) { fallback << QString::fromStdString(line); });
    notifier.SetConnection(bus.Connect(QStringLiteral("client")));
    notifier.Notify(kEvent);
    notifier.Notify(kEvent);
    QVERIFY(ProcessUntil([&] { return service.shown.size() == 2 && notifier.InFlight() == 0; }, 10s));
    QCOMPARE(service.asked, 1);
    QCOMPARE(service.shown[0].app, QStringLiteral("Vantrix"));
    QCOMPARE(service.shown[0].summary, QStringLiteral("Server online"));
    QCOMPARE(service.shown[1].body, body);
    QVERIFY(fallback.isEmpty());
  }

  // No service: the message panel's line. A service that never answers: nothing waits, and
  // the calls in flight stay bounded.
  void WithoutAnAnsweringServiceNothingBlocks() {
    PrivateSessionBus bus;
    QVERIFY2(bus.Start(), "dbus-daemon (package dbus-daemon) did not start");
    QStringList fallback;
    DesktopNotifier notifier([&](const std::string& line) { fallback << QString::fromStdString(line); });
    notifier.SetConnection(bus.Connect(QStringLiteral("client")));
    notifier.Notify(kEvent);
    QVERIFY(ProcessUntil([&] { return !fallback.isEmpty(); }, 10s));
    QCOMPARE(fallback, QStringList{QStringLiteral("Server online: A<b>&c (1.2.3.4:5): 1/8 players")});

    StandInNotifications hanging(bus.Connect(QStringLiteral("service")), true, true);
    QVERIFY(hanging.Register());
    for (int i = 0; i < 200; ++i) notifier.Notify(kEvent);
    QVERIFY(ProcessUntil([&] { return hanging.asked == 1; }, 10s));
    QVERIFY(notifier.InFlight() <= DesktopNotifier::kMaxInFlight);
    QCOMPARE(fallback.size(), 1);
  }

  void CtrlDMarksTheSelectedRowAndRemembersIt() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    form.Table().AppendRow(ServerRow::Blank("10.0.0.1:27015"));
    form.Table().AppendRow(ServerRow::Blank("10.0.0.2:27015"));
    QVERIFY(Activate(form));
    form.Table().SetSelectedIndex(1);
    const QModelIndex address = form.Model().index(1, 0);
    QTest::keyClick(form.ListView1(), Qt::Key_D, Qt::ControlModifier);
    QVERIFY(!form.Model().data(address, Qt::DecorationRole).isNull());
    QCOMPARE(form.Model().data(address, Qt::ToolTipRole).toString(), QStringLiteral("watched"));
    QCOMPARE(form.Model().data(address, Qt::AccessibleDescriptionRole).toString(), QStringLiteral("watched"));
    QCOMPARE(form.Model().data(address, Qt::DisplayRole).toString(), QStringLiteral("10.0.0.2:27015"));
    QVERIFY(form.Model().data(form.Model().index(0, 0), Qt::DecorationRole).isNull());
    QVERIFY(form.Model().data(form.Model().index(0, 0), Qt::ToolTipRole).isNull());
    QCOMPARE(FileText(recorded), std::string("AutoRefresh=0\r\nWatch=10.0.0.2:27015\r\n"));

    // While the address is edited in place, Ctrl+D changes nothing.
    form.ListView1()->edit(address);
    QLineEdit* editor = form.ListView1()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_D, Qt::ControlModifier);
    QVERIFY(form.Watch().IsWatched("10.0.0.2:27015"));
    QTest::keyClick(editor, Qt::Key_Escape);

    form.Watchserver2Click();  // the context menu's entry
    QVERIFY(form.Model().data(address, Qt::DecorationRole).isNull());
    QCOMPARE(FileText(recorded), std::string("AutoRefresh=0\r\n"));
  }

  // A damaged watch.ini gives the defaults and stays as it is until the user changes something.
  void BadFileIsReadAsDefaultsAndLeftAlone() {
    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    std::string garbage(1, '\0');
    garbage += "\xFF\nAutoRefresh=7\nWatch\n";
    std::filesystem::create_directories(form.Watch().Path().parent_path());
    test::Spit(form.Watch().Path(), garbage);
    QVERIFY(Activate(form));
    QCOMPARE(FileText(recorded), garbage);
    QVERIFY(form.MenuAction(QStringLiteral("Autorefreshoff1"))->isChecked());
    QVERIFY(!form.Watch().RefreshTimer().isActive());

    form.MenuAction(QStringLiteral("Autorefresh5m1"))->trigger();
    QVERIFY(form.MenuAction(QStringLiteral("Autorefresh5m1"))->isChecked());
    QVERIFY(!form.MenuAction(QStringLiteral("Autorefreshoff1"))->isChecked());
    QCOMPARE(form.Watch().RefreshTimer().interval(), 300'000);
    QVERIFY(form.Watch().RefreshTimer().isActive());
    QCOMPARE(FileText(recorded), std::string("AutoRefresh=300\r\n"));
  }

  void BuddiesDialogAddsAndRemovesNames() {
    BuddiesDialog dialog;
    dialog.SetNames({"Alice", "Bob"});
    dialog.NameEdit()->setText(QStringLiteral("Carol"));
    dialog.AddButton()->click();
    dialog.NameEdit()->setText(QStringLiteral("Alice"));  // already there
    dialog.AddButton()->click();
    dialog.List()->setCurrentRow(1);
    dialog.RemoveButton()->click();
    QCOMPARE(dialog.Names(), (std::vector<std::string>{"Alice", "Carol"}));
  }

  // Two watched simulated servers beside one that is not: a refresh checks only the watched
  // ones, quietly, and their going away and coming back are notified; the buddy among the
  // players of one of them is told when it comes back.
  void RefreshNotifiesWhatChanged() {
    PrivateSessionBus bus;
    QVERIFY2(bus.Start(), "dbus-daemon (package dbus-daemon) did not start");
    StandInNotifications service(bus.Connect(QStringLiteral("service")), false);
    QVERIFY(service.Register());
    QueryFakeServers servers;
    fake::ServerSetup setup;
    setup.count = 3;
    QVERIFY2(servers.Start(setup), servers.Error().c_str());
    const auto profiles = servers.Profiles();

    RecordedApplication recorded;
    TForm1& form = recorded.app->Form1();
    SettingsValuesReader settings;
    form.SetSettingsReader(&settings);
    form.Watch().Notifier().SetConnection(bus.Connect(QStringLiteral("client")));
    for (const auto& profile : profiles) form.Table().AppendRow(ServerRow::Blank(profile.Address()));
    QVERIFY(Activate(form));
    form.Watch().Toggle(profiles[0].Address());
    form.Watch().Toggle(profiles[1].Address());
    form.Watch().SetBuddies({"PLAYER 1"});
    form.Table().SetSelectedIndex(2);
    const QString message = form.StatusPanel(2)->text();

    const auto refresh = [&] {
      QVERIFY(form.Watch().Refresh());
      QVERIFY(form.RefreshRunning());
      QVERIFY(!form.Watch().Refresh());  // skipped while it runs
      QVERIFY(ProcessUntil([&] { return !form.AtOnce().Running(); }, 10s));
    };
    refresh();
    QCOMPARE(form.Table().Cell(0, kWCell), std::string("+"));
    QCOMPARE(form.Table().Cell(1, kNameCell), profiles[1].info.name);
    QCOMPARE(form.Table().Cell(2, kWCell), std::string(kBlank));  // not watched: not checked
    QCOMPARE(form.Table().SelectedIndex(), 2);
    QCOMPARE(form.StatusPanel(2)->text(), message);

    servers.Stop();
    refresh();
    QCOMPARE(form.Table().Cell(0, kWCell), std::string("-"));
    QVERIFY(ProcessUntil([&] { return service.shown.size() == 2; }, 10s));

    QVERIFY2(servers.Restart(), servers.Error().c_str());
    refresh();
    QVERIFY(ProcessUntil([&] { return service.shown.size() == 5; }, 10s));
    const auto label = [](const fake::ServerProfile& profile) {
      return QString::fromStdString(profile.info.name + " (" + profile.Address() + ")");
    };
    const auto players = [](const fake::ServerProfile& profile) {
      return QStringLiteral(": %1/%2 players").arg(profile.info.players).arg(profile.info.maxPlayers);
    };
    QStringList expected{
        QStringLiteral("Server offline: ") + label(profiles[0]),
        QStringLiteral("Server offline: ") + label(profiles[1]),
        QStringLiteral("Server online: ") + label(profiles[0]) + players(profiles[0]),
        QStringLiteral("Server online: ") + label(profiles[1]) + players(profiles[1]),
        QStringLiteral("Buddy online: ") + label(profiles[1]) + QStringLiteral(": Player 1"),
    };
    expected.sort();
    QCOMPARE(Summaries(service), expected);
    QCOMPARE(form.StatusPanel(2)->text(), message);
    QCOMPARE(form.Table().SelectedIndex(), 2);

    // Esc and Ctrl+F10 stop a refresh.
    QVERIFY(form.Watch().Refresh());
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(!form.AtOnce().Running());
    QVERIFY(form.Watch().Refresh());
    QTest::keyClick(form.ListView1(), Qt::Key_F10, Qt::ControlModifier);
    QVERIFY(!form.AtOnce().Running());
  }
};

QTEST_MAIN(WatchTest)
#include "WatchTest.moc"

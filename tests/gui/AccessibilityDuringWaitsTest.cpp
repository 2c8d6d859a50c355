// A screen reader reads the main window over the accessibility bus while the window's
// commands wait: the window, a private session bus with its accessibility bus and
// registry, and a client that reads the message panel by name as an assistive tool does.
// The simulated servers run on 127.0.0.1 and never answer, so every step waits its full
// time-out.

#include <chrono>
#include <string>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "core/query/QueryEngine.h"
#include "core/settings/SettingsValuesReader.h"
#include "core/util/Version.h"
#include "gui/GuiTestSupport.h"
#include "gui/MainWindowDriver.h"
#include "gui/QueryFakeServers.h"
#include "gui/Unit1.h"
#include "gui/Unit6.h"
#include "gui/atspi/AtSpiReader.h"
#include "gui/atspi/AtSpiSession.h"
#include "gui/platform/ExecDialogRunner.h"
#include "support/NetWatchdog.h"

using namespace vantrix;
using namespace std::chrono_literals;
using vantrix::test::AtSpiReader;
using vantrix::test::AtSpiSession;
using vantrix::test::NetWatchdog;
using vantrix::test::QueryFakeServers;
using vantrix::test::RecordedApplication;

namespace {

const QString kDesignText = QStringLiteral("Vantrix " VANTRIX_VERSION " loaded");
constexpr int kReadPeriodMilliseconds = 20;

// The longest a read asked between `from` and `to` took to be answered.
std::chrono::milliseconds LongestAnswer(const std::vector<AtSpiReader::Reading>& readings,
                                        AtSpiReader::Clock::time_point from,
                                        AtSpiReader::Clock::time_point to) {
  std::chrono::milliseconds longest{0};
  for (const auto& reading : readings) {
    if (reading.asked < from || reading.asked > to) continue;
    longest = std::max(
        longest, std::chrono::duration_cast<std::chrono::milliseconds>(reading.answered - reading.asked));
  }
  return longest;
}

}  // namespace

class AccessibilityDuringWaitsTest : public QObject {
  Q_OBJECT

 public:
  explicit AccessibilityDuringWaitsTest(const AtSpiSession& session, bool started)
      : m_session(session), m_started(started) {}

 private:
  void RequireSession() {
    if (m_started) return;
    const std::string& problem = m_session.Problem();
    // Only a missing tool skips; one that is there and fails to start is a fault.
    if (problem.rfind("missing", 0) == 0)
      QSKIP(qPrintable(QStringLiteral("accessibility bus tools are not installed: ") +
                       QString::fromStdString(problem)));
    QFAIL(problem.c_str());
  }

  // The window with `rows` silent servers, shown, and a reader that has found the message
  // panel by its design text and reads it every few milliseconds.
  struct Scene {
    QueryFakeServers servers;
    RecordedApplication recorded;
    SettingsValuesReader settings;
    AtSpiReader reader;
  };

  bool SetUp(Scene& scene, int rows, const QString& press = {}) {
    fake::ServerSetup setup;
    setup.count = rows;
    setup.silentCount = rows;
    if (!scene.servers.Start(setup)) {
      qWarning("%s", scene.servers.Error().c_str());
      return false;
    }
    TForm1& form = scene.recorded.app->Form1();
    form.SetSettingsReader(&scene.settings);
    for (const auto& profile : scene.servers.Profiles()) form.Table().AppendRow(profile.Address());
    form.Table().SetSelectedIndex(0);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return false;
    if (form.StatusPanel(2)->text() != kDesignText) return false;
    scene.reader.Start(QString::fromStdString(m_session.SessionBusAddress()), kDesignText,
                       kReadPeriodMilliseconds, press);
    // The main thread must run its events for the reader to find anything. A reader that
    // only reads waits for its first answer too, so that it has heard the text from
    // before the command.
    const auto ready = [&] {
      if (scene.reader.Finished()) return true;
      return press.isEmpty() ? !scene.reader.Readings().empty() : scene.reader.Found();
    };
    const bool found = QTest::qWaitFor(ready, 20000);
    if (!found || !scene.reader.Found()) {
      qWarning("reader: %s", qPrintable(scene.reader.Problem()));
      return false;
    }
    return true;
  }

 private slots:
  // "Check all servers" over three silent servers: the reader sees each progress text
  // while the run waits, then "Idle...".
  void CheckAllProgressIsReadDuringTheRun() {
    RequireSession();
    Scene scene;
    QVERIFY(SetUp(scene, 3));
    TForm1& form = scene.recorded.app->Form1();

    const auto started = AtSpiReader::Clock::now();
    {
      NetWatchdog watchdog(20s, "check all over three silent servers");
      form.MenuAction(QStringLiteral("CheckallF121"))->trigger();
    }
    const auto ended = AtSpiReader::Clock::now();
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Idle..."));
    // The check is over; let the reader hear the end of it.
    QVERIFY(QTest::qWaitFor([&] { return scene.reader.Texts().contains(QStringLiteral("Idle...")); }, 5000));
    scene.reader.Stop();

    QStringList expected{kDesignText, QStringLiteral("Checking servers: 0/3"),
                         QStringLiteral("Checking servers: 1/3"), QStringLiteral("Checking servers: 2/3"),
                         QStringLiteral("Idle...")};
    QCOMPARE(scene.reader.Texts(), expected);
    const auto readings = scene.reader.Readings();
    for (const auto& reading : readings) QVERIFY2(reading.ok, "a read went unanswered");
    qInfo("longest answer during the run: %lld ms",
          static_cast<long long>(LongestAnswer(readings, started, ended).count()));
  }

  // The screen-reader user starts "Check all servers" from the menu through the reader:
  // the whole run then happens inside the answer to that request, and the reader must
  // still be answered meanwhile.
  void CheckAllStartedByTheReaderIsReadDuringTheRun() {
    RequireSession();
    Scene scene;
    QVERIFY(SetUp(scene, 3, QStringLiteral("Check all servers")));
    TForm1& form = scene.recorded.app->Form1();
    {
      NetWatchdog watchdog(20s, "check all started by the reader");
      QVERIFY(
          QTest::qWaitFor([&] { return scene.reader.Texts().contains(QStringLiteral("Idle...")); }, 10000));
    }
    scene.reader.Stop();
    QCOMPARE(form.StatusPanel(2)->text(), QStringLiteral("Idle..."));
    QStringList expected{kDesignText, QStringLiteral("Checking servers: 0/3"),
                         QStringLiteral("Checking servers: 1/3"), QStringLiteral("Checking servers: 2/3"),
                         QStringLiteral("Idle...")};
    // The first read follows the request that started the run.
    expected.removeFirst();
    QCOMPARE(scene.reader.Texts(), expected);
    for (int row = 0; row < 3; ++row) QCOMPARE(form.Table().Cell(row, kWCell), std::string("-"));
  }

  // A wait slice longer than the time-out (UDPDelay at its largest): the reader is still
  // answered all through the slice, not once at its end.
  void ReaderIsAnsweredThroughALongSlice() {
    RequireSession();
    Scene scene;
    scene.settings.Values().udpDelay = "999";
    QVERIFY(SetUp(scene, 1));
    TForm1& form = scene.recorded.app->Form1();
    const QString checking = QStringLiteral("Checking server ") +
                             QString::fromStdString(std::string(form.Table().Address(0))) +
                             QStringLiteral("...");
    const auto started = AtSpiReader::Clock::now();
    {
      NetWatchdog watchdog(20s, "check one silent server with a long slice");
      form.MenuAction(QStringLiteral("Checkserver1"))->trigger();
    }
    const auto ended = AtSpiReader::Clock::now();
    QVERIFY(ended - started >= 999ms);
    QCOMPARE(form.Table().Cell(0, kWCell), std::string("-"));
    QVERIFY(QTest::qWaitFor([&] { return scene.reader.Texts().contains(QStringLiteral("Idle...")); }, 5000));
    scene.reader.Stop();
    QCOMPARE(scene.reader.Texts(), (QStringList{kDesignText, checking, QStringLiteral("Idle...")}));
    // Read every 20 ms through a wait of a second: answered only at the slice's end, the
    // reader would have heard the text once or twice.
    int heard = 0;
    for (const auto& reading : scene.reader.Readings())
      heard += reading.ok && reading.text == checking ? 1 : 0;
    QVERIFY2(heard >= 10, qPrintable(QStringLiteral("heard %1 times").arg(heard)));
    qInfo("longest answer during the check: %lld ms",
          static_cast<long long>(LongestAnswer(scene.reader.Readings(), started, ended).count()));
  }

  // A modal dialog's own loop: the reader finds the about box and reads it while the
  // command that showed it waits for it to close.
  void ModalDialogIsReadWhileItIsShown() {
    RequireSession();
    RecordedApplication recorded;
    recorded.app->SetDialogRunner(std::make_unique<ExecDialogRunner>());
    TForm1& form = recorded.app->Form1();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString credit = QStringLiteral("Made by the Vantrix team");
    AtSpiReader reader;
    reader.Start(QString::fromStdString(m_session.SessionBusAddress()), credit, kReadPeriodMilliseconds);

    // Closes the dialog once it has been read a few times, or after a bound.
    QTimer closer;
    closer.setInterval(10);
    const auto giveUp = AtSpiReader::Clock::now() + 20s;
    int shownReads = 0;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (!recorded.app->Form6().isVisible()) return;
      shownReads = static_cast<int>(reader.Readings().size());
      if (shownReads >= 3 || reader.Finished() || AtSpiReader::Clock::now() > giveUp)
        recorded.app->Form6().reject();
    });
    closer.start();
    form.MenuAction(QStringLiteral("About1"))->trigger();
    closer.stop();
    reader.Stop();
    QVERIFY2(reader.Found(), qPrintable(reader.Problem()));
    QVERIFY(shownReads >= 3);
    QCOMPARE(reader.Texts().value(0), credit);
  }

  // "Check server" on a silent server: a read made during the wait is answered with the
  // wait's own text, not after it with "Idle...".
  void CheckServerTextIsReadDuringItsWait() {
    RequireSession();
    Scene scene;
    QVERIFY(SetUp(scene, 1));
    TForm1& form = scene.recorded.app->Form1();
    const QString checking = QStringLiteral("Checking server ") +
                             QString::fromStdString(std::string(form.Table().Address(0))) +
                             QStringLiteral("...");
    {
      NetWatchdog watchdog(20s, "check one silent server");
      form.MenuAction(QStringLiteral("Checkserver1"))->trigger();
    }
    QCOMPARE(form.Table().Cell(0, kWCell), std::string("-"));
    QVERIFY(QTest::qWaitFor([&] { return scene.reader.Texts().contains(QStringLiteral("Idle...")); }, 5000));
    scene.reader.Stop();
    QCOMPARE(scene.reader.Texts(), (QStringList{kDesignText, checking, QStringLiteral("Idle...")}));
  }

 private:
  const AtSpiSession& m_session;
  bool m_started;
};

int main(int argc, char** argv) {
  // The session comes first: the application joins the display and the bus it names, and
  // it goes last, after the application has let go of them.
  AtSpiSession session;
  const bool started = session.Start();
  if (!started) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  AccessibilityDuringWaitsTest test(session, started);
  return QTest::qExec(&test, argc, argv);
}

#include "AccessibilityDuringWaitsTest.moc"

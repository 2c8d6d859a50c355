// The pieces that tie the info query to Qt and to the endpoint: the event pump, the
// timed wait, the one-shot timer, the sender and the settings relay.

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include "core/query/ThreadSleeper.h"
#include "core/settings/SettingsValuesReader.h"
#include "core/util/EIdException.h"
#include "gui/platform/EndpointSender.h"
#include "gui/platform/QtDispatcher.h"
#include "gui/platform/QtEventPump.h"
#include "gui/platform/QtOneShotTimer.h"
#include "gui/platform/SettingsRelay.h"
#include "net/HeadlessDispatcher.h"
#include "net/TIdUDPServer.h"
#include "support/NetPeer.h"

using namespace vantrix;
using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

class QueryAdaptersTest : public QObject {
  Q_OBJECT

 private slots:
  // One call runs what is pending: hand-overs posted from another thread and a timer
  // that is due, in the same pass, without waiting for anything further.
  void PumpRunsPendingHandOversAndDueTimersInOnePass() {
    QtDispatcher dispatcher;
    QtEventPump pump;
    int handOvers = 0;
    std::thread listener([&] {
      for (int i = 0; i < 3; ++i) dispatcher.Post([&] { ++handOvers; });
    });
    listener.join();
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    int ticks = 0;
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(1);
    std::this_thread::sleep_for(20ms);
    pump.ProcessEvents();
    QCOMPARE(handOvers, 3);
    QCOMPARE(ticks, 1);

    // With nothing pending it returns; the next hand-over waits for the next pass.
    const auto before = Steady::now();
    pump.ProcessEvents();
    QVERIFY(Steady::now() - before < 5s);
    dispatcher.Post([&] { ++handOvers; });
    QCOMPARE(handOvers, 3);
    pump.ProcessEvents();
    QCOMPARE(handOvers, 4);
  }

  // The timed wait blocks the whole time and runs no events meanwhile; zero returns.
  void SleeperBlocksWithoutRunningEvents() {
    QtDispatcher dispatcher;
    ThreadSleeper sleeper;
    bool ran = false;
    dispatcher.Post([&] { ran = true; });
    const auto before = Steady::now();
    sleeper.Sleep(30);
    QVERIFY(Steady::now() - before >= 30ms);
    QVERIFY(!ran);
    sleeper.Sleep(0);
    QVERIFY(!ran);
    QtEventPump().ProcessEvents();
    QVERIFY(ran);
  }

  // Ticks once per start, never earlier than the interval from the latest start, and not
  // at all after a stop.
  void OneShotTimerTicksOncePerStartCountedFromTheRestart() {
    QTimer timer;
    QtOneShotTimer driver(timer);
    QVERIFY(timer.isSingleShot());
    QCOMPARE(timer.timerType(), Qt::PreciseTimer);
    int ticks = 0;
    std::optional<Steady::time_point> tickedAt;
    connect(&timer, &QTimer::timeout, [&] {
      ++ticks;
      tickedAt = Steady::now();
    });
    auto processFor = [](std::chrono::milliseconds span) {
      const auto end = Steady::now() + span;
      while (Steady::now() < end) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };

    driver.Start(150);
    processFor(40ms);
    driver.Stop();
    driver.Start(150);
    const auto restartedAt = Steady::now();
    processFor(400ms);
    QCOMPARE(ticks, 1);
    QVERIFY(tickedAt.has_value());
    QVERIFY(*tickedAt - restartedAt >= 149ms);
    QVERIFY(!timer.isActive());

    driver.Start(20);
    driver.Stop();
    processFor(100ms);
    QCOMPARE(ticks, 1);
  }

  // Bytes go out from the endpoint's own port; the endpoint's errors reach the caller.
  void SenderSendsThroughTheEndpoint() {
    HeadlessDispatcher dispatcher;
    TIdUDPServer endpoint(dispatcher);
    endpoint.SetActive(true);
    EndpointSender sender(endpoint);
    test::NetPeer peer;
    sender.Send("127.0.0.1", peer.Port(),
                std::string_view("\xFF\xFF\xFF\xFF"
                                 "details",
                                 11));
    const auto received = peer.Receive(2s);
    QVERIFY(received.has_value());
    QCOMPARE(received->bytes, std::string("\xFF\xFF\xFF\xFF"
                                          "details",
                                          11));
    QCOMPARE(received->port, endpoint.LocalPort());
    sender.Send("LOCALHOST", peer.Port(), "x");
    QVERIFY(peer.Receive(2s).has_value());

    auto fails = [&](const std::string& host, int port) {
      try {
        sender.Send(host, port, "x");
      } catch (const EIdException&) {
        return true;
      }
      return false;
    };
    QVERIFY(fails("127.0.0.1", 0));
    QVERIFY(fails("127.0.0.1", 70000));
    QVERIFY(fails("", peer.Port()));
    endpoint.SetActive(false);
    QVERIFY(fails("127.0.0.1", peer.Port()));
  }

  // Every read goes to whichever reader the source names at that moment.
  void RelayReadsTheCurrentSourceAtEachRead() {
    SettingsValuesReader first;
    SettingsValuesReader second;
    first.Values().udpDelay = "7";
    first.Values().connect = false;
    second.Values().udpDelay = "abc";
    second.Values().defaultPort = "27016";
    second.Values().progress = false;
    const SettingsReader* current = &first;
    SettingsRelay relay([&]() -> const SettingsReader& { return *current; });
    QCOMPARE(relay.Snapshot().udpDelay, std::string("7"));
    QVERIFY(!relay.Snapshot().connect);
    first.Values().udpDelay = "9";
    QCOMPARE(relay.Snapshot().udpDelay, std::string("9"));
    current = &second;
    QCOMPARE(relay.Snapshot().udpDelay, std::string("abc"));
    QCOMPARE(relay.Snapshot().defaultPort, std::string("27016"));
    QVERIFY(relay.Snapshot().connect);
    QVERIFY(!relay.Snapshot().progress);
    QCOMPARE(relay.Snapshot().bufferSize, second.Snapshot().bufferSize);
    QCOMPARE(relay.Snapshot().broadcast, second.Snapshot().broadcast);
    QCOMPARE(relay.Snapshot().packetLog, second.Snapshot().packetLog);
    QCOMPARE(relay.Snapshot().listColor, second.Snapshot().listColor);
    QCOMPARE(relay.Snapshot().textColor, second.Snapshot().textColor);
  }
};

QTEST_MAIN(QueryAdaptersTest)
#include "QueryAdaptersTest.moc"

// The query's timed wait on the main thread: it lasts its whole time and runs none of the
// window's queued events, but delivers the requests it is told to answer while it waits.

#include "gui/platform/AnsweringSleeper.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <QCoreApplication>
#include <QObject>
#include <QTest>

using namespace vantrix;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

// Queues a call to `receiver` for the main thread, as a bus thread or the endpoint's
// listener does.
void Queue(QObject& receiver, std::function<void()> call) {
  QMetaObject::invokeMethod(&receiver, std::move(call), Qt::QueuedConnection);
}

}  // namespace

class AnsweringSleeperTest : public QObject {
  Q_OBJECT

 private slots:
  // Requests queued before the wait are answered; a datagram hand-over queued beside them
  // waits for the event processing after the wait, and the wait lasts its whole time.
  void AnswersRequestsAndNothingElse() {
    QObject requests;
    QObject datagrams;
    int answered = 0;
    int handed = 0;
    AnsweringSleeper sleeper([&] { QCoreApplication::sendPostedEvents(&requests, QEvent::MetaCall); });
    Queue(datagrams, [&] { ++handed; });
    Queue(requests, [&] { ++answered; });
    Queue(requests, [&] { ++answered; });

    const auto start = Clock::now();
    sleeper.Sleep(30);
    QVERIFY(Clock::now() - start >= 30ms);
    QCOMPARE(answered, 2);
    QCOMPARE(handed, 0);
    QCoreApplication::processEvents();
    QCOMPARE(handed, 1);
  }

  // A request that comes in the middle of a long wait is answered then, not at its end.
  void AnswersARequestThatComesDuringTheWait() {
    QObject requests;
    std::atomic<bool> answered{false};
    Clock::time_point answeredAt{};
    AnsweringSleeper sleeper([&] { QCoreApplication::sendPostedEvents(&requests, QEvent::MetaCall); });
    std::thread bus([&] {
      std::this_thread::sleep_for(20ms);
      Queue(requests, [&] {
        answeredAt = Clock::now();
        answered = true;
      });
    });
    const auto start = Clock::now();
    sleeper.Sleep(400);
    const auto end = Clock::now();
    bus.join();
    QVERIFY(end - start >= 400ms);
    QVERIFY(answered);
    // Far from the end: the wait looked for requests while it slept.
    QVERIFY(end - answeredAt > 200ms);
  }

  // A wait of zero only gives up the time slice; what is pending is answered first.
  void ZeroAnswersOnce() {
    int calls = 0;
    AnsweringSleeper sleeper([&] { ++calls; });
    sleeper.Sleep(0);
    QCOMPARE(calls, 1);
  }

  // Without an accessibility bridge (this test runs offscreen) the default wait delivers
  // no queued event at all.
  void WithoutABridgeNothingRunsInTheWait() {
    QObject receiver;
    int ran = 0;
    Queue(receiver, [&] { ++ran; });
    AnsweringSleeper sleeper;
    sleeper.Sleep(5);
    QCOMPARE(ran, 0);
    QCoreApplication::processEvents();
    QCOMPARE(ran, 1);
  }
};

QTEST_MAIN(AnsweringSleeperTest)
#include "AnsweringSleeperTest.moc"

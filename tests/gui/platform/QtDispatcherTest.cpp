#include "gui/platform/QtDispatcher.h"

#include <atomic>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QTest>
#include <QThread>

using namespace vantrix;

class QtDispatcherTest : public QObject {
  Q_OBJECT

 private slots:
  void TasksRunOnTheMainThreadInOrderWhenEventsAreProcessed() {
    QtDispatcher dispatcher;
    std::vector<int> ran;
    std::atomic<bool> ranOnOtherThread{false};
    const QThread* mainThread = QThread::currentThread();
    constexpr int kTasks = 2000;
    std::thread poster([&] {
      for (int i = 0; i < kTasks; ++i) {
        dispatcher.Post([&, i] {
          if (QThread::currentThread() != mainThread) ranOnOtherThread = true;
          ran.push_back(i);
        });
      }
    });
    poster.join();
    // Posting never runs a task by itself.
    QVERIFY(ran.empty());
    for (int pass = 0; pass < 200 && static_cast<int>(ran.size()) < kTasks; ++pass)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCOMPARE(static_cast<int>(ran.size()), kTasks);
    QVERIFY(!ranOnOtherThread);
    for (int i = 0; i < kTasks; ++i) QCOMPARE(ran[static_cast<size_t>(i)], i);
  }

  void TasksRunInsideAProcessEventsCallOfARunningTask() {
    QtDispatcher dispatcher;
    std::vector<std::string> trace;
    dispatcher.Post([&] {
      trace.push_back("outer begins");
      // A command that waits lets pending events run, a later hand-over included.
      std::thread late([&] { dispatcher.Post([&] { trace.push_back("inner"); }); });
      late.join();
      for (int pass = 0; pass < 100 && trace.size() < 2; ++pass) QCoreApplication::processEvents();
      trace.push_back("outer ends");
    });
    for (int pass = 0; pass < 100 && trace.size() < 3; ++pass) QCoreApplication::processEvents();
    QCOMPARE(trace, (std::vector<std::string>{"outer begins", "inner", "outer ends"}));
  }

  void AThrowingTaskDoesNotStopTheOthers() {
    QtDispatcher dispatcher;
    int ran = 0;
    dispatcher.Post([] { throw std::runtime_error("bad datagram"); });
    dispatcher.Post([&] { ++ran; });
    for (int pass = 0; pass < 100 && ran == 0; ++pass) QCoreApplication::processEvents();
    QCOMPARE(ran, 1);
  }

  void TasksStillQueuedWhenTheDispatcherGoesAreDropped() {
    int ran = 0;
    {
      QtDispatcher dispatcher;
      dispatcher.Post([&] { ++ran; });
    }
    for (int pass = 0; pass < 10; ++pass) QCoreApplication::processEvents();
    QCOMPARE(ran, 0);
  }
};

QTEST_MAIN(QtDispatcherTest)
#include "QtDispatcherTest.moc"

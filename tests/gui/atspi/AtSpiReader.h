#pragma once

// An assistive-technology client as a screen reader is one: it joins the accessibility
// bus named by the session bus, finds an application through the accessibility registry,
// walks its tree to the object whose name is a given text, and then reads that object's
// name over and over, noting what it read and how long each answer took. It runs on a
// thread of its own, because the window answers on the main thread.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include <QString>

namespace vantrix::test {

class AtSpiReader {
 public:
  using Clock = std::chrono::steady_clock;

  struct Reading {
    Clock::time_point asked;
    Clock::time_point answered;
    QString text;  // empty when the call failed
    bool ok = false;
  };

  AtSpiReader() = default;
  ~AtSpiReader() { Stop(); }
  AtSpiReader(const AtSpiReader&) = delete;
  AtSpiReader& operator=(const AtSpiReader&) = delete;

  // Starts the client thread. It looks for the object named `name` for up to
  // `findMilliseconds`, then reads it every `periodMilliseconds` until Stop, at most
  // `maxReadings` times. With a `press` name it also finds that object and, right before
  // the first read, asks for its first action (a menu entry's "press") without waiting
  // for the answer, as a screen-reader user activates a command.
  void Start(QString sessionBusAddress, QString name, int periodMilliseconds, QString press = {},
             int findMilliseconds = 15000, int maxReadings = 2000);
  // Ends the thread; the readings stay.
  void Stop();

  bool Found() const { return m_found.load(); }
  bool Finished() const { return m_finished.load(); }
  QString Problem() const;
  std::vector<Reading> Readings() const;
  // The distinct texts read, in order, a repeat of the one before dropped.
  QStringList Texts() const;

 private:
  void Run(QString sessionBusAddress, QString name, int periodMilliseconds, QString press,
           int findMilliseconds, int maxReadings);
  void SetProblem(const QString& problem);

  std::thread m_thread;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_found{false};
  std::atomic<bool> m_finished{false};
  mutable std::mutex m_mutex;
  std::vector<Reading> m_readings;
  QString m_problem;
};

}  // namespace vantrix::test

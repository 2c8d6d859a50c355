#pragma once

#include <signal.h>

#include <functional>
#include <memory>

#include "core/io/UniqueFd.h"

class QObject;
class QSocketNotifier;

namespace vantrix {

// SIGTERM, SIGINT and SIGHUP as events of the main thread, so that the program ends as by
// "Exit" (the unsaved list kept) and a signal never cuts a write short. The signals are
// blocked and read from a signalfd: no handler, no global. Blocking is inherited by the
// threads made afterwards, so the object is made first thing in main(), before Qt or the
// endpoints start any thread.
class ExitSignals {
 public:
  ExitSignals();
  ~ExitSignals();
  ExitSignals(const ExitSignals&) = delete;
  ExitSignals& operator=(const ExitSignals&) = delete;

  bool Valid() const { return m_fd.Valid(); }

  // Calls onSignal from the event loop, also from inside a wait that processes events; the
  // object lives as long as `context`. Needs the QCoreApplication.
  void Notify(QObject* context, std::function<void()> onSignal);

 private:
  void Read();

  sigset_t m_previous{};
  UniqueFd m_fd;
  std::function<void()> m_onSignal;
  std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace vantrix

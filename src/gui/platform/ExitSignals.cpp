#include "gui/platform/ExitSignals.h"

#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace vantrix {

namespace {

sigset_t EndingSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGHUP);
  return set;
}

}  // namespace

ExitSignals::ExitSignals() {
  const sigset_t set = EndingSignals();
  if (::pthread_sigmask(SIG_BLOCK, &set, &m_previous) != 0) return;
  m_fd.Reset(::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC));
  // Without the descriptor the signals must keep their ordinary effect.
  if (!m_fd.Valid()) ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

ExitSignals::~ExitSignals() {
  m_notifier.reset();
  if (m_fd.Valid()) {
    m_fd.Reset();
    ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
  }
}

void ExitSignals::Notify(QObject* context, std::function<void()> onSignal) {
  if (!m_fd.Valid()) return;
  m_onSignal = std::move(onSignal);
  m_notifier = std::make_unique<QSocketNotifier>(m_fd.Get(), QSocketNotifier::Read);
  QObject::connect(m_notifier.get(), &QSocketNotifier::activated, context, [this] { Read(); });
}

void ExitSignals::Read() {
  signalfd_siginfo info{};
  bool received = false;
  while (::read(m_fd.Get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info)) received = true;
  if (received && m_onSignal) m_onSignal();
}

}  // namespace vantrix

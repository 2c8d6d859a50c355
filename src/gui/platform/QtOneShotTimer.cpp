#include "gui/platform/QtOneShotTimer.h"

#include <limits>

#include <QTimer>

namespace vantrix {

QtOneShotTimer::QtOneShotTimer(QTimer& timer) : m_timer(&timer) {
  timer.setSingleShot(true);
  // The coarse default may fire up to 5 % late; the time-out is meant to the millisecond.
  timer.setTimerType(Qt::PreciseTimer);
}

void QtOneShotTimer::Start(std::uint32_t intervalMilliseconds) {
  if (!m_timer) return;
  constexpr auto kLongest = static_cast<std::uint32_t>(std::numeric_limits<int>::max());
  m_timer->start(static_cast<int>(intervalMilliseconds < kLongest ? intervalMilliseconds : kLongest));
}

void QtOneShotTimer::Stop() {
  if (m_timer) m_timer->stop();
}

}  // namespace vantrix

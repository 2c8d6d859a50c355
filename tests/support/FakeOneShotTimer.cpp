#include "support/FakeOneShotTimer.h"

namespace vantrix::test {

void FakeOneShotTimer::Start(std::uint32_t intervalMilliseconds) {
  ++m_starts;
  m_active = true;
  m_interval = intervalMilliseconds;
  m_startTick = m_clock.Now();
}

void FakeOneShotTimer::Stop() {
  ++m_stops;
  m_active = false;
}

void FakeOneShotTimer::Poll() {
  if (!m_active) return;
  const std::uint32_t now = m_clock.Now();
  if (TickDifference(now, m_startTick) < static_cast<std::int32_t>(m_interval)) return;
  ++m_ticks;
  m_startTick = now;
  if (m_onTick) m_onTick();
}

}  // namespace vantrix::test

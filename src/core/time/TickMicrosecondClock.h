#pragma once

#include <cstdint>

#include "core/time/MicrosecondClock.h"
#include "core/time/TickClock.h"

namespace vantrix {

// The window's 32-bit millisecond tick as the scheduler's 64-bit microsecond clock, so
// that pings are taken from the same counter as the datagrams' arrival stamps. Readings
// are unwrapped across the tick's wrap at 2^32 ms.
class TickMicrosecondClock final : public MicrosecondClock {
 public:
  explicit TickMicrosecondClock(TickClock& clock) : m_clock(clock) {}

  std::uint64_t NowUs() override { return Extend(m_clock.Ticks()) * 1000u; }

  // A tick read elsewhere (an arrival stamp), in microseconds on the same line; a tick
  // from before the first reading counts from there.
  std::uint64_t TickUs(std::uint32_t tick) { return Extend(tick) * 1000u; }

 private:
  std::uint64_t Extend(std::uint32_t tick) {
    if (!m_started) {
      m_started = true;
      m_last = tick;
      m_lastExtended = tick;
      return m_lastExtended;
    }
    const std::int32_t step = TickDifference(tick, m_last);
    if (step < 0) {  // an earlier stamp: placed before the last reading, never below zero
      const std::uint64_t back = static_cast<std::uint64_t>(-static_cast<std::int64_t>(step));
      return back > m_lastExtended ? 0 : m_lastExtended - back;
    }
    m_last = tick;
    m_lastExtended += static_cast<std::uint64_t>(step);
    return m_lastExtended;
  }

  TickClock& m_clock;
  bool m_started = false;
  std::uint32_t m_last = 0;
  std::uint64_t m_lastExtended = 0;
};

}  // namespace vantrix

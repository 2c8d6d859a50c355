#pragma once

#include <cstdint>

#include "core/time/TickClock.h"

namespace vantrix::test {

// A tick counter that moves only when told to. With a step, each reading advances it
// afterwards, so two readings in a row differ and their order shows.
class FakeClock final : public TickClock {
 public:
  std::uint32_t Ticks() override {
    ++m_readings;
    const std::uint32_t now = m_now;
    m_now += m_step;
    return now;
  }
  std::uint32_t Now() const { return m_now; }
  void Set(std::uint32_t now) { m_now = now; }
  void Advance(std::uint32_t milliseconds) { m_now += milliseconds; }
  void SetStepPerReading(std::uint32_t step) { m_step = step; }
  long Readings() const { return m_readings; }

 private:
  std::uint32_t m_now = 1000;
  std::uint32_t m_step = 0;
  long m_readings = 0;
};

}  // namespace vantrix::test

#pragma once

#include <atomic>
#include <cstdint>

#include "core/time/WallClock.h"

namespace vantrix::test {

// Wall-clock seconds that move only when told to; read from the history's writer thread.
class FakeWallClock final : public WallClock {
 public:
  explicit FakeWallClock(std::int64_t now = 1'700'000'400) : m_now(now) {}
  std::int64_t NowSeconds() const override { return m_now.load(); }
  TimeOfDay LocalTimeOfDay() const override { return {}; }  // the history reads seconds only
  void Set(std::int64_t now) { m_now = now; }
  void Advance(std::int64_t seconds) { m_now += seconds; }

 private:
  std::atomic<std::int64_t> m_now;
};

}  // namespace vantrix::test

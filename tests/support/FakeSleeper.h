#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "core/query/Sleeper.h"
#include "support/FakeClock.h"

namespace vantrix::test {

// Sleeps by moving the fake clock on; remembers every wait. Throws after a bound so
// that a wait that never ends fails the test instead of hanging it.
class FakeSleeper final : public Sleeper {
 public:
  static constexpr std::size_t kMaxSleeps = 2'000'000;

  explicit FakeSleeper(FakeClock& clock) : m_clock(clock) {}
  void Sleep(std::uint32_t milliseconds) override {
    if (m_sleeps.size() >= kMaxSleeps) throw std::runtime_error("too many sleeps: the wait does not end");
    m_sleeps.push_back(milliseconds);
    m_clock.Advance(milliseconds);
  }
  const std::vector<std::uint32_t>& Sleeps() const { return m_sleeps; }
  std::size_t Count() const { return m_sleeps.size(); }

 private:
  FakeClock& m_clock;
  std::vector<std::uint32_t> m_sleeps;
};

}  // namespace vantrix::test

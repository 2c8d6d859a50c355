#pragma once

#include <atomic>
#include <cstdint>

#include "history/HistoryClock.h"

namespace vantrix::test {

// Wall-clock seconds that move only when told to; read from the history's writer thread.
class FakeHistoryClock final : public HistoryClock {
 public:
  explicit FakeHistoryClock(std::int64_t now = 1'700'000'400) : m_now(now) {}
  std::int64_t NowSeconds() const override { return m_now.load(); }
  void Set(std::int64_t now) { m_now = now; }
  void Advance(std::int64_t seconds) { m_now += seconds; }

 private:
  std::atomic<std::int64_t> m_now;
};

}  // namespace vantrix::test

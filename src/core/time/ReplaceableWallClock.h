#pragma once

#include <memory>
#include <utility>

#include "core/time/SystemWallClock.h"
#include "core/time/WallClock.h"

namespace vantrix {

// A wall clock that can be swapped while something holds on to it: the packet log keeps a
// reference to its clock, and tests put a fixed one in its place.
class ReplaceableWallClock final : public WallClock {
 public:
  explicit ReplaceableWallClock(std::unique_ptr<WallClock> clock = nullptr) { Replace(std::move(clock)); }

  // nullptr means the system's clock (the desktop's local time).
  void Replace(std::unique_ptr<WallClock> clock) {
    m_clock = clock ? std::move(clock) : std::make_unique<SystemWallClock>();
  }

  std::int64_t NowSeconds() const override { return m_clock->NowSeconds(); }
  TimeOfDay LocalTimeOfDay() const override { return m_clock->LocalTimeOfDay(); }

 private:
  std::unique_ptr<WallClock> m_clock;
};

}  // namespace vantrix

#pragma once

#include "core/time/TickClock.h"

namespace vantrix {

// The system's monotonic clock in milliseconds, cut to 32 bits.
class SteadyClock final : public TickClock {
 public:
  std::uint32_t Ticks() override { return Now(); }
  // Same reading without an object, for the listener thread's arrival stamps.
  static std::uint32_t Now();
  // The reading the clock gave ageUs microseconds ago.
  static std::uint32_t Before(std::uint64_t ageUs);
};

}  // namespace vantrix

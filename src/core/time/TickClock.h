#pragma once

#include <cstdint>

namespace vantrix {

// A 32-bit millisecond tick counter that wraps at 2^32.
class TickClock {
 public:
  virtual ~TickClock() = default;
  virtual std::uint32_t Ticks() = 0;
};

// Signed difference of two readings (later - earlier), wrap-safe and without signed overflow.
inline std::int32_t TickDifference(std::uint32_t later, std::uint32_t earlier) {
  const std::uint32_t diff = later - earlier;
  return diff <= 0x7FFFFFFFu ? static_cast<std::int32_t>(diff) : -static_cast<std::int32_t>(~diff) - 1;
}

}  // namespace vantrix

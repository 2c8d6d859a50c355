#include "core/time/SteadyClock.h"

#include <algorithm>
#include <chrono>

namespace vantrix {

std::uint32_t SteadyClock::Now() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms.count()));
}

std::uint32_t SteadyClock::Before(std::uint64_t ageUs) {
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  const auto nowUs = static_cast<std::uint64_t>(us.count());
  return static_cast<std::uint32_t>((nowUs - std::min(ageUs, nowUs)) / 1000u);
}

}  // namespace vantrix

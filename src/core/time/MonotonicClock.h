#pragma once

#include <time.h>

#include <cstdint>

#include "core/time/MicrosecondClock.h"

namespace vantrix {

// CLOCK_MONOTONIC in microseconds: pings never jump with the wall clock.
class MonotonicClock final : public MicrosecondClock {
 public:
  std::uint64_t NowUs() override {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
  }
};

}  // namespace vantrix

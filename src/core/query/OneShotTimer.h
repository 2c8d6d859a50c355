#pragma once

#include <cstdint>

namespace vantrix {

// A timer whose tick arrives as a main-thread event. Start after Stop restarts the count.
// The owner routes the tick to its handler; the handler stops the timer, so it ticks once
// per start.
class OneShotTimer {
 public:
  virtual ~OneShotTimer() = default;
  virtual void Start(std::uint32_t intervalMilliseconds) = 0;
  virtual void Stop() = 0;
};

}  // namespace vantrix

#pragma once

#include <cstdint>

namespace vantrix {

// The main thread's timed wait. It blocks for the whole time: nothing ends it early.
// Zero means "give up the time slice" and returns at once.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace vantrix

#pragma once

#include <cstdint>

namespace vantrix {

// A monotonic clock in microseconds.
class MicrosecondClock {
 public:
  virtual ~MicrosecondClock() = default;
  virtual std::uint64_t NowUs() = 0;
};

}  // namespace vantrix

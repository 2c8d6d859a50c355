#include "core/query/SteadyClock.h"

#include <chrono>

namespace vantrix {

std::uint32_t SteadyClock::Now() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms.count()));
}

}  // namespace vantrix

#pragma once

#include "core/query/Sleeper.h"

namespace vantrix {

// Blocks the calling thread for the whole time; no event ends it early. Zero gives up the
// time slice only, so a wait of zero spins.
class ThreadSleeper final : public Sleeper {
 public:
  void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace vantrix

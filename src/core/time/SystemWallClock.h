#pragma once

#include "core/time/WallClock.h"

namespace vantrix {

// The system's wall clock; the time of day in the desktop's local time zone.
class SystemWallClock final : public WallClock {
 public:
  std::int64_t NowSeconds() const override;
  TimeOfDay LocalTimeOfDay() const override;
};

}  // namespace vantrix

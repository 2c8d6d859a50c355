#pragma once

#include <cstdint>

namespace vantrix {

// A time of day on the 24-hour clock.
struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The wall clock, read two ways: seconds since 1970 (UTC), with which the history stamps its
// samples and counts its retention, and the local time of day, which the packet log shows.
// Tests put fixed or fast-moving ones in its place.
class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual std::int64_t NowSeconds() const = 0;
  virtual TimeOfDay LocalTimeOfDay() const = 0;
};

}  // namespace vantrix

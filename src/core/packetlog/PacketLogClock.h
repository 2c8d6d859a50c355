#pragma once

namespace vantrix {

// A time of day on the 24-hour clock.
struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Where the packet log takes the time of arrival from; tests supply a fixed one.
class PacketLogClock {
 public:
  virtual ~PacketLogClock() = default;
  virtual TimeOfDay Now() const = 0;
};

}  // namespace vantrix

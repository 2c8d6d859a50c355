#pragma once

#include <memory>
#include <utility>

#include "core/packetlog/PacketLogClock.h"
#include "core/packetlog/PacketLogLocalClock.h"

namespace vantrix {

// A time-of-day clock that can be swapped while something holds on to it: the packet log
// keeps a reference to its clock, and tests put a fixed one in its place.
class ReplaceableClock final : public PacketLogClock {
 public:
  explicit ReplaceableClock(std::unique_ptr<PacketLogClock> clock = nullptr) { Replace(std::move(clock)); }

  // nullptr means the desktop's local time.
  void Replace(std::unique_ptr<PacketLogClock> clock) {
    m_clock = clock ? std::move(clock) : std::make_unique<PacketLogLocalClock>();
  }

  TimeOfDay Now() const override { return m_clock->Now(); }

 private:
  std::unique_ptr<PacketLogClock> m_clock;
};

}  // namespace vantrix

#pragma once

#include "core/packetlog/PacketLogClock.h"

namespace vantrix {

// The desktop's local time of day.
class PacketLogLocalClock final : public PacketLogClock {
 public:
  TimeOfDay Now() const override;
};

}  // namespace vantrix

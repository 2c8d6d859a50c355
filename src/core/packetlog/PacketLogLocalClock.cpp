#include "core/packetlog/PacketLogLocalClock.h"

#include <ctime>

namespace vantrix {

TimeOfDay PacketLogLocalClock::Now() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) return {};
  return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace vantrix

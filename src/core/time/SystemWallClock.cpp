#include "core/time/SystemWallClock.h"

#include <chrono>
#include <ctime>

namespace vantrix {

std::int64_t SystemWallClock::NowSeconds() const {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

TimeOfDay SystemWallClock::LocalTimeOfDay() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) return {};
  return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace vantrix

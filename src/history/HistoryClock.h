#pragma once

#include <chrono>
#include <cstdint>

namespace vantrix {

// Wall-clock seconds since 1970 (UTC) for the history: samples are stamped with it and
// retention counts from it. Tests move a fake one through a month in a moment.
class HistoryClock {
 public:
  virtual ~HistoryClock() = default;
  virtual std::int64_t NowSeconds() const = 0;
};

class SystemHistoryClock final : public HistoryClock {
 public:
  std::int64_t NowSeconds() const override {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
};

}  // namespace vantrix

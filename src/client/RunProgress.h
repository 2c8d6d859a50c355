#pragma once

#include <cstdint>

#include "client/CheckScheduler.h"

namespace vantrix {

// How far a run of the runner is, shown as it goes (the command line's progress line):
// told after every wake, and cleared when the run ends.
class RunProgress {
 public:
  // The runner wakes at least this often, so that the progress keeps moving.
  static constexpr std::uint64_t kPeriodUs = 100'000;

  virtual ~RunProgress() = default;
  virtual void Update(const CheckScheduler& scheduler, std::uint64_t nowUs) = 0;
  virtual void Clear() = 0;
};

}  // namespace vantrix

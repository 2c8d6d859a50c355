#include "check/PlanFromOptions.h"

#include <algorithm>
#include <cstdint>

namespace vantrix {

CheckPlan PlanFromOptions(const CheckOptions& options) {
  CheckPlan plan;
  plan.protocol = options.query;
  plan.players = options.players;
  plan.rules = options.rules;
  plan.maxParallel = std::max(options.maxParallel, 1);
  plan.timeoutUs = static_cast<std::uint64_t>(std::max(options.timeoutMs, 1)) * 1000;
  plan.retries = std::max(options.retries, 0);
  plan.sendIntervalUs = static_cast<std::uint64_t>(std::max(options.sendIntervalUs, 0));
  return plan;
}

}  // namespace vantrix

#pragma once

#include "check/CheckOptions.h"
#include "client/CheckScheduler.h"

namespace vantrix {

// The scheduler's plan for the command line's options (values out of range brought in).
CheckPlan PlanFromOptions(const CheckOptions& options);

}  // namespace vantrix

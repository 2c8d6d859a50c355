#pragma once

#include "client/CheckResult.h"
#include "core/watch/WatchTransitions.h"

namespace vantrix {

// What a finished check tells the watch: answered when the info came, the players' names
// when the players came too.
WatchObservation WatchObservationOf(const CheckResult& result);

}  // namespace vantrix

#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "check/CheckItem.h"
#include "check/CheckResult.h"
#include "check/ItemEndpoints.h"
#include "core/watch/WatchTransitions.h"

namespace vantrix {

// What a finished check tells the watch: answered when the info came, the players' names
// when the players came too.
WatchObservation WatchObservationOf(const CheckResult& result);

// One round of --watch: a line "SUMMARY: BODY" (safe on a terminal) for every change the
// items' results bring, in item order.
std::string WatchRoundLines(WatchTransitions& transitions, const std::vector<CheckItem>& items,
                            const ItemEndpoints& endpoints,
                            const std::function<const CheckResult&(std::size_t endpoint)>& resultFor,
                            std::uint64_t nowMs);

}  // namespace vantrix

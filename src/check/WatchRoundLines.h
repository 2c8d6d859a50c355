#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "check/CheckItem.h"
#include "check/ItemEndpoints.h"
#include "client/CheckResult.h"
#include "core/watch/WatchTransitions.h"

namespace vantrix {

// One round of --watch: a line "SUMMARY: BODY" (safe on a terminal) for every change the
// items' results bring, in item order.
std::string WatchRoundLines(WatchTransitions& transitions, const std::vector<CheckItem>& items,
                            const ItemEndpoints& endpoints,
                            const std::function<const CheckResult&(std::size_t endpoint)>& resultFor,
                            std::uint64_t nowMs);

}  // namespace vantrix

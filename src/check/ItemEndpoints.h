#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "check/CheckItem.h"
#include "client/CheckResult.h"
#include "client/ClientTransport.h"

namespace vantrix {

// Where the items of a run are sent: one endpoint per item that has an address, in item
// order, and for each item the index of its endpoint (kNone when it has none).
struct ItemEndpoints {
  static constexpr std::size_t kNone = SIZE_MAX;
  std::vector<IPv4Endpoint> endpoints;
  std::vector<std::size_t> ofItem;

  // The item's result: its endpoint's, or (without one) an error with the item's own text.
  CheckResult ResultOfItem(const std::vector<CheckItem>& items, std::size_t item,
                           const std::function<const CheckResult&(std::size_t endpoint)>& resultFor) const;
};

// Resolves the items' hosts, every distinct one at once; an item that cannot be sent to gets
// its error.
ItemEndpoints ResolveItems(std::vector<CheckItem>& items);

}  // namespace vantrix

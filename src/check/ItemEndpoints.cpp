#include "check/ItemEndpoints.h"

#include <cstdint>
#include <optional>
#include <string>

#include "client/ThreadedHostLookups.h"
#include "net/HostLookup.h"

namespace vantrix {

CheckResult ItemEndpoints::ResultOfItem(
    const std::vector<CheckItem>& items, std::size_t item,
    const std::function<const CheckResult&(std::size_t)>& resultFor) const {
  if (ofItem[item] != kNone) return resultFor(ofItem[item]);
  CheckResult failed;
  failed.status = CheckStatus::kError;
  failed.error = items[item].error;
  return failed;
}

ItemEndpoints ResolveItems(std::vector<CheckItem>& items) {
  // Addresses written as numbers (and localhost) are read here, as the window's parallel run
  // reads them: only names go to the lookup threads, not a list's many thousand addresses.
  std::vector<std::optional<std::uint32_t>> literal(items.size());
  std::vector<std::string> names;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!items[i].target) continue;
    literal[i] = LiteralHostAddress(items[i].target->host);
    if (!literal[i]) names.push_back(items[i].target->host);
  }
  ThreadedHostLookups lookups;
  const auto found = lookups.AwaitAll(names);
  ItemEndpoints resolved;
  resolved.ofItem.assign(items.size(), ItemEndpoints::kNone);
  for (std::size_t i = 0; i < items.size(); ++i) {
    CheckItem& item = items[i];
    if (!item.target) continue;
    const ResolveResult address =
        literal[i] ? ResolveResult{ResolveStatus::Found, *literal[i]} : found.at(item.target->host);
    if (address.status != ResolveStatus::Found) {
      item.error = ThreadedHostLookups::FailureText(item.target->host, address.status);
      continue;
    }
    resolved.ofItem[i] = resolved.endpoints.size();
    resolved.endpoints.push_back({address.address, item.target->port});
  }
  return resolved;
}

}  // namespace vantrix

#include "check/ItemEndpoints.h"

#include <string>

#include "client/ThreadedHostLookups.h"

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
  ThreadedHostLookups lookups;
  std::vector<std::string> hosts;
  for (const CheckItem& item : items)
    if (item.target) hosts.push_back(item.target->host);
  const auto found = lookups.AwaitAll(hosts);
  ItemEndpoints resolved;
  resolved.ofItem.assign(items.size(), ItemEndpoints::kNone);
  for (std::size_t i = 0; i < items.size(); ++i) {
    CheckItem& item = items[i];
    if (!item.target) continue;
    const ResolveResult& address = found.at(item.target->host);
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

#include "check/ItemEndpoints.h"

#include <string>
#include <variant>

#include "check/CheckHostResolver.h"

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
  CheckHostResolver resolver;
  std::vector<std::string> hosts;
  for (const CheckItem& item : items)
    if (item.target) hosts.push_back(item.target->host);
  resolver.ResolveAll(hosts);
  ItemEndpoints resolved;
  resolved.ofItem.assign(items.size(), ItemEndpoints::kNone);
  for (std::size_t i = 0; i < items.size(); ++i) {
    CheckItem& item = items[i];
    if (!item.target) continue;
    const CheckHostResolver::Result address = resolver.Resolve(item.target->host);
    if (const auto* error = std::get_if<std::string>(&address)) {
      item.error = *error;
      continue;
    }
    resolved.ofItem[i] = resolved.endpoints.size();
    resolved.endpoints.push_back({std::get<std::uint32_t>(address), item.target->port});
  }
  return resolved;
}

}  // namespace vantrix

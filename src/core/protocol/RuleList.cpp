#include "core/protocol/RuleList.h"

#include "core/protocol/ByteCursor.h"
#include "core/protocol/CurrentRequests.h"

namespace vantrix {

std::optional<std::vector<RuleEntry>> DecodeRuleList(std::string_view datagram) {
  if (ReplyType(datagram) != kRulesReplyType || datagram.size() < 7) return std::nullopt;
  ByteCursor cursor(datagram);
  cursor.Skip(7);
  std::vector<RuleEntry> rules;
  // Each pair consumes at least two bytes, so this loop ends within the datagram's size.
  while (!cursor.AtEnd() && rules.size() < kMaxRules) {
    auto name = cursor.ReadZeroTerminated();
    auto value = name ? cursor.ReadZeroTerminated() : std::nullopt;
    if (!value) break;
    rules.push_back({std::string(*name), std::string(*value)});
  }
  return rules;
}

}  // namespace vantrix

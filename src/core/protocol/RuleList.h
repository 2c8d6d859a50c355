#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

struct RuleEntry {
  std::string name;  // raw bytes
  std::string value;

  bool operator==(const RuleEntry&) const = default;
};

// Decodes a rules reply: FF FF FF FF 'E', a 16-bit count, then zero-ended name and value
// pairs read up to the end of the data (the count is not trusted: servers cut long lists);
// a pair cut short ends the list. At most kMaxRules pairs are kept: a small compressed reply
// can unpack to a quarter of a megabyte of empty pairs, each of which would cost far more in
// memory than its two bytes. nullopt for any other datagram.
inline constexpr std::size_t kMaxRules = 4096;
std::optional<std::vector<RuleEntry>> DecodeRuleList(std::string_view datagram);

}  // namespace vantrix

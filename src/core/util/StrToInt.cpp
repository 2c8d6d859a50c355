#include "core/util/StrToInt.h"

#include <string>

namespace vantrix {

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  // One more than INT32_MAX is allowed for the magnitude of a negative value.
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kLimit) return std::nullopt;
  }
  if (!negative && magnitude == kLimit) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::int32_t StrToInt(std::string_view text) {
  const auto value = TryStrToInt(text);
  if (!value) throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
  return *value;
}

}  // namespace vantrix

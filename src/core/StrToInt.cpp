#include "core/StrToInt.h"

#include <charconv>

namespace vantrix {

std::int32_t StrToInt(std::string_view text) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  // from_chars takes neither a leading '+' nor spaces, so only bare digits reach it.
  std::int64_t magnitude = 0;
  const char* end = digits.data() + digits.size();
  bool valid = !digits.empty() && digits.front() >= '0' && digits.front() <= '9';
  if (valid && digits.size() <= 11) {
    auto [last, error] = std::from_chars(digits.data(), end, magnitude);
    valid = error == std::errc() && last == end;
  } else {
    valid = false;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (!valid || value < INT32_MIN || value > INT32_MAX) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace vantrix

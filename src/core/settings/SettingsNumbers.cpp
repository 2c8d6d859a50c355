#include "core/settings/SettingsNumbers.h"

#include <algorithm>

#include "core/util/ConversionError.h"

namespace vantrix {

namespace {

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Reads the unsigned digits; empty when there are none, a byte is no digit, or the value
// exceeds the limit.
std::optional<std::uint64_t> ParseMagnitude(std::string_view digits, int base, std::uint64_t limit) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    const int digit = DigitValue(c, base);
    if (digit < 0) return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (!text.empty() && text.front() == '$') {
    const auto bits = ParseMagnitude(text.substr(1), 16, 0xFFFFFFFFu);
    if (!bits) return std::nullopt;
    const std::uint32_t pattern = static_cast<std::uint32_t>(*bits);
    return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
  }
  const std::uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
  const auto magnitude = ParseMagnitude(text, 10, limit);
  if (!magnitude) return std::nullopt;
  const std::int64_t value =
      negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude);
  return static_cast<std::int32_t>(value);
}

std::string NotAnIntegerMessage(std::string_view text) {
  std::string message = "'";
  message.append(text);
  message.append("' is not a valid integer value");
  return message;
}

std::int32_t WholeNumberFromText(std::string_view text) {
  const auto value = ParseWholeNumber(text);
  if (!value) throw ConversionError(NotAnIntegerMessage(text));
  return *value;
}

int UdpDelayMilliseconds(std::string_view udpDelayText) {
  const auto value = ParseWholeNumber(udpDelayText);
  if (!value) return kDefaultUdpDelayMs;
  return std::clamp<std::int32_t>(*value, 0, kMaxUdpDelayMs);
}

std::int32_t BufferSizeFromText(std::string_view bufferSizeText) {
  return WholeNumberFromText(bufferSizeText);
}

}  // namespace vantrix

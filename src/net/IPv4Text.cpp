#include "net/IPv4Text.h"

namespace vantrix {

namespace {

std::optional<std::uint32_t> ParseOctet(std::string_view part) {
  if (part.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : part) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
    // Stop early so that a long run of digits cannot overflow.
    if (value > 255) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::uint32_t> ParseDottedIPv4(std::string_view text) {
  std::uint32_t address = 0;
  for (int index = 0; index < 4; ++index) {
    std::string_view part = text;
    if (index < 3) {
      const std::size_t dot = text.find('.');
      if (dot == std::string_view::npos) return std::nullopt;
      part = text.substr(0, dot);
      text.remove_prefix(dot + 1);
    }
    const std::optional<std::uint32_t> octet = ParseOctet(part);
    if (!octet) return std::nullopt;
    address = (address << 8) | *octet;
  }
  return address;
}

std::string FormatIPv4(std::uint32_t address) {
  std::string text;
  text.reserve(15);
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (shift != 24) text += '.';
    text += std::to_string((address >> shift) & 0xFFu);
  }
  return text;
}

}  // namespace vantrix

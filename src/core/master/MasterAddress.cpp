#include "core/master/MasterAddress.h"

namespace vantrix {

namespace {

// One to `maxDigits` decimal digits, at most `high`.
std::optional<std::uint32_t> ParseDecimal(std::string_view text, std::size_t maxDigits, std::uint32_t high) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (value > high) return std::nullopt;
  return value;
}

}  // namespace

std::string MasterAddress::Text() const {
  std::string text;
  text.reserve(21);
  for (int shift = 24; shift >= 0; shift -= 8) {
    text += std::to_string((ip >> shift) & 0xFFu);
    text += shift == 0 ? ':' : '.';
  }
  text += std::to_string(port);
  return text;
}

std::optional<MasterAddress> ParseMasterAddress(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto port = ParseDecimal(text.substr(colon + 1), 5, 65535);
  if (!port) return std::nullopt;
  std::string_view host = text.substr(0, colon);
  std::uint32_t ip = 0;
  for (int part = 0; part < 4; ++part) {
    const std::size_t dot = part < 3 ? host.find('.') : host.size();
    if (dot == std::string_view::npos) return std::nullopt;
    const auto value = ParseDecimal(host.substr(0, dot), 3, 255);
    if (!value) return std::nullopt;
    ip = (ip << 8) | *value;
    host = part < 3 ? host.substr(dot + 1) : std::string_view();
  }
  return MasterAddress{ip, static_cast<std::uint16_t>(*port)};
}

}  // namespace vantrix

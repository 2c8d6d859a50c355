#include "core/master/MasterRequest.h"

namespace vantrix {

std::string BuildMasterRequest(std::uint8_t region, std::string_view seed, std::string_view filter) {
  filter = filter.substr(0, filter.find('\0'));
  seed = seed.substr(0, seed.find('\0'));
  std::string request;
  request.reserve(4 + seed.size() + filter.size());
  request += '\x31';
  request += static_cast<char>(region);
  request += seed;
  request += '\0';
  request += filter;
  request += '\0';
  return request;
}

std::optional<MasterHostPort> ParseMasterHostPort(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  MasterHostPort result;
  result.host = std::string(text.substr(0, colon));
  result.port = kDefaultMasterPort;
  if (colon != std::string_view::npos) {
    const std::string_view port = text.substr(colon + 1);
    if (port.empty() || port.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (const char c : port) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    result.port = static_cast<std::uint16_t>(value);
  }
  if (result.host.empty() || result.host.find_first_of(std::string_view(" \t\0", 3)) != std::string::npos)
    return std::nullopt;
  return result;
}

std::optional<std::uint8_t> ParseMasterRegion(std::string_view text) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 3) return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * static_cast<unsigned>(base) + digit;
  }
  if (value > 0xFF) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

}  // namespace vantrix

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// IPv4 addresses are held as 32-bit numbers in host byte order: 127.0.0.1 is 0x7F000001.

// The dotted form: split at the first three "." into four parts (the fourth is the rest);
// each part is one or more decimal digits with a value of 0..255. Leading zeros are decimal
// ("010" is 10); signs, spaces, empty parts and anything else make it not an address.
std::optional<std::uint32_t> ParseDottedIPv4(std::string_view text);

// Four decimal numbers without leading zeros, e.g. "192.168.0.20".
std::string FormatIPv4(std::uint32_t address);

}  // namespace vantrix

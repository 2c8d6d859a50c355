#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// A server address as the master server lists it: IPv4 in host byte order and a port.
struct MasterAddress {
  std::uint32_t ip = 0;
  std::uint16_t port = 0;

  // "a.b.c.d:port", the text the address cell and the next page's seed take.
  std::string Text() const;
  std::uint64_t Key() const { return (std::uint64_t{ip} << 16) | port; }
  bool operator==(const MasterAddress&) const = default;
};

// "a.b.c.d:port" with four decimal parts of 0..255 (at most three digits each) and a
// port of 0..65535; anything else (spaces, signs, host names) is nullopt.
std::optional<MasterAddress> ParseMasterAddress(std::string_view text);

}  // namespace vantrix

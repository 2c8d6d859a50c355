#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// The master server's default address and the regions it knows.
inline constexpr std::string_view kDefaultMasterAddress = "hl2master.steampowered.com:27011";
inline constexpr std::uint8_t kRegionEverywhere = 0xFF;
// The seed of the first page: the list from its start.
inline constexpr std::string_view kFirstSeed = "0.0.0.0:0";

struct MasterRegion {
  std::uint8_t code;
  const char* name;
};
inline constexpr MasterRegion kMasterRegions[] = {
    {0x00, "US East"},     {0x01, "US West"}, {0x02, "South America"},
    {0x03, "Europe"},      {0x04, "Asia"},    {0x05, "Australia"},
    {0x06, "Middle East"}, {0x07, "Africa"},  {kRegionEverywhere, "Everywhere"},
};

// One page request: 0x31, the region, the seed address text and a zero byte, the filter
// text and a zero byte. The filter is cut at a zero byte of its own, which would end it.
std::string BuildMasterRequest(std::uint8_t region, std::string_view seed, std::string_view filter);

// The master's "host:port" as the user types it; without ":" the port is 27011. Nullopt for
// an empty host or a port outside 1..65535.
struct MasterHostPort {
  std::string host;
  std::uint16_t port = 0;
};
inline constexpr std::uint16_t kDefaultMasterPort = 27011;
std::optional<MasterHostPort> ParseMasterHostPort(std::string_view text);

// A region number as typed: decimal or 0x hexadecimal, 0..255.
std::optional<std::uint8_t> ParseMasterRegion(std::string_view text);

}  // namespace vantrix

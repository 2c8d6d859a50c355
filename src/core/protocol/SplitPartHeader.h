#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrix {

// The three headers a part of a split reply may carry after FE FF FF FF and its 32-bit id:
//   kOld:       one byte, the part number in its upper and the total in its lower four bits
//               (9 bytes in all);
//   kNewNoSize: a total byte and a number byte (10 bytes), sent by some older engines;
//   kNew:       a total byte, a number byte and a 16-bit split size (12 bytes).
enum class SplitLayout { kOld, kNewNoSize, kNew };

struct SplitPartHeader {
  std::uint32_t id = 0;
  int number = 0;
  int total = 0;
  std::size_t size = 0;  // bytes before the part's data
};

inline constexpr std::string_view kSplitPrefix{"\xFE\xFF\xFF\xFF", 4};

// True when the datagram starts with FE FF FF FF and is long enough for the shortest header.
bool IsSplitPart(std::string_view datagram) noexcept;

// The header of a part in the given layout; nullopt when the datagram is no split part or
// too short for that header. The window's rules buffer and the reassembly both read it here.
std::optional<SplitPartHeader> ReadSplitPartHeader(std::string_view datagram, SplitLayout layout) noexcept;

std::size_t SplitHeaderSize(SplitLayout layout) noexcept;

}  // namespace vantrix

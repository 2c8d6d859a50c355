#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

struct PlayerEntry {
  std::string name;  // raw bytes
  std::int32_t score = 0;
  float seconds = 0;  // time on the server

  bool operator==(const PlayerEntry&) const = default;
};

// Decodes a players reply: FF FF FF FF 'D', a count byte, then per player an index byte,
// the zero-ended name, a 32-bit score and a 32-bit float time. The records are read up to
// the end of the data, whatever the count byte says (it wraps past 255 players); a record
// cut short ends the list; at most kMaxPlayers records are kept. nullopt for any other datagram.
inline constexpr std::size_t kMaxPlayers = 4096;
std::optional<std::vector<PlayerEntry>> DecodePlayerList(std::string_view datagram);

}  // namespace vantrix

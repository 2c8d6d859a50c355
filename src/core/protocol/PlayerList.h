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

// The Ship's extras of one player, sent after all the records.
struct ShipPlayerExtras {
  std::int32_t deaths = 0;
  std::int32_t money = 0;

  bool operator==(const ShipPlayerExtras&) const = default;
};

struct PlayerListReply {
  std::vector<PlayerEntry> players;
  std::vector<ShipPlayerExtras> shipExtras;  // one per player, or none
};

// Decodes a players reply: FF FF FF FF 'D', a count byte, then per player an index byte,
// the zero-ended name, a 32-bit score and a 32-bit float time. Exactly the announced number
// of records is read (bytes after them are no players); a record cut short ends the list.
// nullopt for any other datagram. Both the original window's players list and the checker
// read replies with this.
std::optional<std::vector<PlayerEntry>> DecodePlayerList(std::string_view datagram);

// The same, and when the info reply named The Ship (appId), its deaths and money per player
// after the records, taken when all of them are there.
std::optional<PlayerListReply> DecodePlayerListReply(std::string_view datagram,
                                                     std::optional<std::uint16_t> appId);

}  // namespace vantrix

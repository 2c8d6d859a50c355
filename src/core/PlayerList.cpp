#include "core/PlayerList.h"

#include "core/ByteCursor.h"
#include "core/SourceRequests.h"

namespace vantrix {

std::optional<std::vector<PlayerEntry>> DecodePlayerList(std::string_view datagram) {
  if (ReplyType(datagram) != kPlayersReplyType || datagram.size() < 6) return std::nullopt;
  ByteCursor cursor(datagram);
  cursor.Skip(6);
  std::vector<PlayerEntry> players;
  // Each record takes at least 10 bytes, so this loop ends within the datagram's size.
  while (cursor.Remaining() >= 10) {
    cursor.Skip(1);  // index, not meaningful
    auto name = cursor.ReadZeroTerminated();
    if (!name || cursor.Remaining() < 8) break;
    PlayerEntry player;
    player.name = std::string(*name);
    player.score = *cursor.ReadInt32LE();
    player.seconds = *cursor.ReadFloat32LE();
    players.push_back(std::move(player));
  }
  return players;
}

}  // namespace vantrix

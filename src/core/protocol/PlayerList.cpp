#include "core/protocol/PlayerList.h"

#include "core/protocol/ByteCursor.h"
#include "core/protocol/PlayerRecord.h"
#include "core/protocol/SourceRequests.h"

namespace vantrix {

std::optional<std::vector<PlayerEntry>> DecodePlayerList(std::string_view datagram) {
  if (ReplyType(datagram) != kPlayersReplyType || datagram.size() < 6) return std::nullopt;
  ByteCursor cursor(datagram);
  cursor.Skip(6);
  std::vector<PlayerEntry> players;
  // Each record takes at least 10 bytes, so this loop ends within the datagram's size.
  while (players.size() < kMaxPlayers) {
    const auto record = PlayerRecord::Read(cursor);
    if (!record) break;
    players.push_back({std::string(record->name), record->score, record->seconds});
  }
  return players;
}

}  // namespace vantrix

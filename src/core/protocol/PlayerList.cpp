#include "core/protocol/PlayerList.h"

#include "core/protocol/ByteCursor.h"
#include "core/protocol/CurrentInfoReply.h"
#include "core/protocol/CurrentRequests.h"
#include "core/protocol/PlayerRecord.h"

namespace vantrix {

namespace {

std::vector<ShipPlayerExtras> ReadShipExtras(ByteCursor& cursor, std::size_t players) {
  std::vector<ShipPlayerExtras> extras;
  if (cursor.Remaining() < players * 8) return extras;
  for (std::size_t i = 0; i < players; ++i) extras.push_back({*cursor.ReadInt32LE(), *cursor.ReadInt32LE()});
  return extras;
}

}  // namespace

std::optional<PlayerListReply> DecodePlayerListReply(std::string_view datagram,
                                                     std::optional<std::uint16_t> appId) {
  if (ReplyType(datagram) != kPlayersReplyType) return std::nullopt;
  ByteCursor cursor(datagram);
  cursor.Skip(5);
  const auto count = cursor.ReadByte();
  if (!count) return std::nullopt;
  PlayerListReply reply;
  reply.players.reserve(*count);
  for (int i = 0; i < *count; ++i) {
    const auto record = PlayerRecord::Read(cursor);
    if (!record) return reply;
    reply.players.push_back({std::string(record->name), record->score, record->seconds});
  }
  if (appId == kTheShipAppId) reply.shipExtras = ReadShipExtras(cursor, reply.players.size());
  return reply;
}

std::optional<std::vector<PlayerEntry>> DecodePlayerList(std::string_view datagram) {
  auto reply = DecodePlayerListReply(datagram, std::nullopt);
  if (!reply) return std::nullopt;
  return std::move(reply->players);
}

}  // namespace vantrix

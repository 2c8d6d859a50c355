#include "core/protocol/CurrentInfoReply.h"

#include "core/protocol/ByteCursor.h"
#include "core/protocol/CurrentRequests.h"

namespace vantrix {

namespace {

std::optional<std::uint64_t> ReadUInt64LE(ByteCursor& cursor) {
  if (cursor.Remaining() < 8) return std::nullopt;
  const std::uint64_t low = *cursor.ReadUInt32LE();
  const std::uint64_t high = *cursor.ReadUInt32LE();
  return low | (high << 32);
}

std::optional<std::string> ReadText(ByteCursor& cursor) {
  auto text = cursor.ReadZeroTerminated();
  if (!text) return std::nullopt;
  return std::string(*text);
}

bool ReadTexts(ByteCursor& cursor, CurrentInfoReply& reply) {
  for (std::string* text : {&reply.name, &reply.map, &reply.folder, &reply.game}) {
    auto value = ReadText(cursor);
    if (!value) return false;
    *text = std::move(*value);
  }
  return true;
}

// The bytes after the counts, each only when there; false when the datagram ends first.
bool ReadAfterCounts(ByteCursor& cursor, CurrentInfoReply& reply) {
  for (std::optional<std::uint8_t>* byte :
       {&reply.bots, &reply.serverType, &reply.environment, &reply.visibility, &reply.secure}) {
    *byte = cursor.ReadByte();
    if (!*byte) return false;
  }
  if (reply.appId == kTheShipAppId) {
    for (std::optional<std::uint8_t>* byte : {&reply.shipMode, &reply.shipWitnesses, &reply.shipDuration}) {
      *byte = cursor.ReadByte();
      if (!*byte) return false;
    }
  }
  reply.version = ReadText(cursor);
  return reply.version.has_value();
}

// Reads the announced fields in their fixed order; false at the first one cut short.
bool ReadExtraData(ByteCursor& cursor, CurrentInfoReply& reply) {
  const std::uint8_t flags = reply.extraFlags;
  if (flags & kExtraPort) {
    reply.port = cursor.ReadUInt16LE();
    if (!reply.port) return false;
  }
  if (flags & kExtraIdentity) {
    reply.identity = ReadUInt64LE(cursor);
    if (!reply.identity) return false;
  }
  if (flags & kExtraSpectator) {
    auto port = cursor.ReadUInt16LE();
    auto name = port ? ReadText(cursor) : std::nullopt;
    if (!name) return false;
    reply.spectatorPort = port;
    reply.spectatorName = std::move(name);
  }
  if (flags & kExtraKeywords) {
    reply.keywords = ReadText(cursor);
    if (!reply.keywords) return false;
  }
  if (flags & kExtraGameId) {
    reply.gameId = ReadUInt64LE(cursor);
    if (!reply.gameId) return false;
  }
  return true;
}

}  // namespace

bool IsCurrentInfoReply(std::string_view datagram) noexcept {
  return ReplyType(datagram) == kCurrentInfoReplyType;
}

std::optional<CurrentInfoReply> DecodeCurrentInfoReply(std::string_view datagram) {
  if (!IsCurrentInfoReply(datagram)) return std::nullopt;
  ByteCursor cursor(datagram);
  cursor.Skip(5);
  CurrentInfoReply reply;
  const auto protocol = cursor.ReadByte();
  if (!protocol) return std::nullopt;
  reply.protocol = *protocol;
  if (!ReadTexts(cursor, reply)) return std::nullopt;
  const auto appId = cursor.ReadUInt16LE();
  const auto players = appId ? cursor.ReadByte() : std::nullopt;
  const auto maxPlayers = players ? cursor.ReadByte() : std::nullopt;
  if (!maxPlayers) return std::nullopt;
  reply.appId = *appId;
  reply.players = *players;
  reply.maxPlayers = *maxPlayers;
  if (!ReadAfterCounts(cursor, reply)) return reply;
  auto flags = cursor.ReadByte();
  if (!flags) return reply;
  reply.extraFlags = *flags;
  reply.extraComplete = ReadExtraData(cursor, reply);
  return reply;
}

}  // namespace vantrix

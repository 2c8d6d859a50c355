#include "core/protocol/SourceInfoReply.h"

#include "core/protocol/ByteCursor.h"
#include "core/protocol/SourceRequests.h"

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

bool ReadFixedPart(ByteCursor& cursor, SourceInfoReply& reply) {
  auto protocol = cursor.ReadByte();
  if (!protocol) return false;
  reply.protocol = *protocol;
  for (std::string* text : {&reply.name, &reply.map, &reply.folder, &reply.game}) {
    auto value = ReadText(cursor);
    if (!value) return false;
    *text = std::move(*value);
  }
  auto appId = cursor.ReadUInt16LE();
  if (!appId || cursor.Remaining() < 7) return false;
  reply.appId = *appId;
  for (std::uint8_t* byte : {&reply.players, &reply.maxPlayers, &reply.bots, &reply.serverType,
                             &reply.environment, &reply.visibility, &reply.secure})
    *byte = *cursor.ReadByte();
  auto version = ReadText(cursor);
  if (!version) return false;
  reply.version = std::move(*version);
  return true;
}

// Reads the announced fields in their fixed order; false at the first one cut short.
bool ReadExtraData(ByteCursor& cursor, SourceInfoReply& reply) {
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

std::optional<SourceInfoReply> DecodeSourceInfoReply(std::string_view datagram) {
  if (ReplyType(datagram) != kSourceInfoReplyType) return std::nullopt;
  ByteCursor cursor(datagram);
  cursor.Skip(5);
  SourceInfoReply reply;
  if (!ReadFixedPart(cursor, reply)) return std::nullopt;
  auto flags = cursor.ReadByte();
  if (!flags) return reply;
  reply.extraFlags = *flags;
  reply.extraComplete = ReadExtraData(cursor, reply);
  return reply;
}

}  // namespace vantrix

#include "core/protocol/InfoReply.h"

#include "core/protocol/ByteCursor.h"
#include "core/protocol/InfoRequest.h"

namespace vantrix {

namespace {

// A text without its terminating zero reads as "" and leaves the cursor where it was,
// so the next field is read from the same bytes again.
std::string_view ReadText(ByteCursor& cursor) noexcept {
  return cursor.ReadZeroTerminated().value_or("");
}

std::optional<char> TypeLetter(std::optional<std::uint8_t> byte) noexcept {
  if (!byte) return std::nullopt;
  switch (*byte) {
    case 'd':
      return 'D';
    case 'l':
      return 'L';
    case 'p':
      return 'P';
    default:
      return std::nullopt;
  }
}

std::optional<char> OsLetter(std::optional<std::uint8_t> byte) noexcept {
  if (!byte) return std::nullopt;
  if (*byte == 'l') return 'L';
  if (*byte == 'w') return 'W';
  return std::nullopt;
}

std::optional<bool> PasswordFlag(std::optional<std::uint8_t> byte) noexcept {
  if (!byte || *byte > 1) return std::nullopt;
  return *byte == 1;
}

}  // namespace

bool IsInfoReply(std::string_view datagram) noexcept {
  return datagram.size() >= 5 && datagram.starts_with(kQueryHeader) && datagram[4] == kInfoReplyType;
}

std::optional<InfoReply> DecodeInfoReply(std::string_view datagram) noexcept {
  if (!IsInfoReply(datagram)) return std::nullopt;
  InfoReply reply;
  if (datagram.find('\0') == std::string_view::npos) return reply;
  reply.hasTexts = true;

  ByteCursor cursor(datagram);
  cursor.Skip(5);
  ReadText(cursor);  // the server's own address
  reply.serverName = ReadText(cursor);
  reply.map = ReadText(cursor);
  ReadText(cursor);  // game directory
  ReadText(cursor);  // game description

  // The trailing bytes, numbered from 1; byte 3 (protocol) and 7 (mod flag) are not used.
  reply.players = cursor.PeekByte(0);
  reply.maxPlayers = cursor.PeekByte(1);
  reply.typeLetter = TypeLetter(cursor.PeekByte(3));
  reply.osLetter = OsLetter(cursor.PeekByte(4));
  reply.password = PasswordFlag(cursor.PeekByte(5));
  return reply;
}

}  // namespace vantrix

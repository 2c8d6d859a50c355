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

// The current reply also names a third system, by either of two letters.
std::optional<char> EnvironmentLetter(std::optional<std::uint8_t> byte) noexcept {
  if (byte && (*byte == 'm' || *byte == 'o')) return 'M';
  return OsLetter(byte);
}

constexpr char kCurrentInfoReplyType = 'I';
constexpr std::size_t kCurrentTextsOffset = 6;  // after the type and the protocol byte

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

bool IsCurrentInfoReply(std::string_view datagram) noexcept {
  return datagram.size() >= 5 && datagram.starts_with(kQueryHeader) && datagram[4] == kCurrentInfoReplyType;
}

std::optional<InfoReply> DecodeCurrentInfoReply(std::string_view datagram) noexcept {
  if (!IsCurrentInfoReply(datagram)) return std::nullopt;
  InfoReply reply;
  if (datagram.size() <= kCurrentTextsOffset ||
      datagram.find('\0', kCurrentTextsOffset) == std::string_view::npos)
    return reply;
  reply.hasTexts = true;

  ByteCursor cursor(datagram);
  cursor.Skip(kCurrentTextsOffset);
  reply.serverName = ReadText(cursor);
  reply.map = ReadText(cursor);
  ReadText(cursor);  // game folder
  ReadText(cursor);  // game description

  // Bytes 0 and 1 are the game id; 4 (bots) and the ones after 7 are not used.
  reply.players = cursor.PeekByte(2);
  reply.maxPlayers = cursor.PeekByte(3);
  reply.typeLetter = TypeLetter(cursor.PeekByte(5));
  reply.osLetter = EnvironmentLetter(cursor.PeekByte(6));
  reply.password = PasswordFlag(cursor.PeekByte(7));
  return reply;
}

std::optional<InfoReply> DecodeAnyInfoReply(std::string_view datagram) noexcept {
  if (IsCurrentInfoReply(datagram)) return DecodeCurrentInfoReply(datagram);
  return DecodeInfoReply(datagram);
}

}  // namespace vantrix

#include "core/protocol/OriginalInfoReply.h"

#include "core/protocol/ByteCursor.h"
#include "core/protocol/InfoRequest.h"

namespace vantrix {

namespace {

// The original window's rule: a text without its terminating zero reads as "" and leaves
// the cursor where it was, so the next field is read from the same bytes again.
std::string_view ReadWindowText(ByteCursor& cursor) noexcept {
  return cursor.ReadZeroTerminated().value_or("");
}

std::optional<bool> PasswordFlag(std::optional<std::uint8_t> byte) noexcept {
  if (!byte || *byte > 1) return std::nullopt;
  return *byte == 1;
}

char Lower(std::uint8_t byte) noexcept {
  return static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte);
}

bool IsLower(std::uint8_t byte) noexcept {
  return byte >= 'a' && byte <= 'z';
}

std::optional<OriginalInfoReply> DecodeForWindow(std::string_view datagram) noexcept {
  OriginalInfoReply reply;
  if (datagram.find('\0') == std::string_view::npos) return reply;
  reply.hasTexts = true;

  ByteCursor cursor(datagram);
  cursor.Skip(5);
  ReadWindowText(cursor);  // the server's own address
  reply.serverName = ReadWindowText(cursor);
  reply.map = ReadWindowText(cursor);
  ReadWindowText(cursor);  // game directory
  ReadWindowText(cursor);  // game description

  // The trailing bytes, numbered from 1; byte 3 (protocol) and 7 (mod flag) are not used.
  reply.players = cursor.PeekByte(0);
  reply.maxPlayers = cursor.PeekByte(1);
  if (const auto type = cursor.PeekByte(3))
    reply.typeLetter = ServerTypeLetter(*type, InfoReading::kOriginalWindow);
  if (const auto os = cursor.PeekByte(4)) reply.osLetter = SystemLetter(*os, InfoReading::kOriginalWindow);
  reply.password = PasswordFlag(cursor.PeekByte(5));
  return reply;
}

// The mod block that follows a mod flag of 1: two links, a spare zero byte, the mod's
// version and size, its kind and whether it brings its own library. False when cut short.
bool SkipModBlock(ByteCursor& cursor) noexcept {
  if (!cursor.ReadZeroTerminated() || !cursor.ReadZeroTerminated()) return false;
  return cursor.Skip(1 + 4 + 4 + 1 + 1);
}

std::optional<OriginalInfoReply> DecodeExactly(std::string_view datagram) noexcept {
  ByteCursor cursor(datagram);
  cursor.Skip(5);
  OriginalInfoReply reply;
  std::string_view texts[5];
  for (std::string_view& text : texts) {
    const auto read = cursor.ReadZeroTerminated();
    if (!read) return std::nullopt;
    text = *read;
  }
  reply.hasTexts = true;
  reply.serverName = texts[1];
  reply.map = texts[2];
  reply.players = cursor.ReadByte();
  reply.maxPlayers = cursor.ReadByte();
  if (!reply.maxPlayers) return std::nullopt;
  if (!cursor.ReadByte()) return reply;  // protocol
  if (const auto type = cursor.ReadByte()) reply.typeLetter = ServerTypeLetter(*type, InfoReading::kExact);
  if (const auto os = cursor.ReadByte()) reply.osLetter = SystemLetter(*os, InfoReading::kExact);
  reply.password = PasswordFlag(cursor.ReadByte());
  const auto mod = cursor.ReadByte();
  if (!mod || (*mod == 1 && !SkipModBlock(cursor))) return reply;
  if (!cursor.ReadByte()) return reply;  // anti-cheat
  reply.bots = cursor.ReadByte();
  return reply;
}

}  // namespace

std::optional<char> ServerTypeLetter(std::uint8_t byte, InfoReading reading) noexcept {
  if (reading == InfoReading::kOriginalWindow && !IsLower(byte)) return std::nullopt;
  switch (Lower(byte)) {
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

std::optional<char> SystemLetter(std::uint8_t byte, InfoReading reading) noexcept {
  if (reading == InfoReading::kOriginalWindow && !IsLower(byte)) return std::nullopt;
  switch (Lower(byte)) {
    case 'l':
      return 'L';
    case 'w':
      return 'W';
    case 'm':
    case 'o':
      // Only 'I' replies name this third system; the original window never sees one.
      if (reading == InfoReading::kOriginalWindow) return std::nullopt;
      return 'M';
    default:
      return std::nullopt;
  }
}

bool IsOriginalInfoReply(std::string_view datagram) noexcept {
  return datagram.size() >= 5 && datagram.starts_with(kQueryHeader) && datagram[4] == kInfoReplyType;
}

std::optional<OriginalInfoReply> DecodeOriginalInfoReply(std::string_view datagram,
                                                         InfoReading reading) noexcept {
  if (!IsOriginalInfoReply(datagram)) return std::nullopt;
  return reading == InfoReading::kOriginalWindow ? DecodeForWindow(datagram) : DecodeExactly(datagram);
}

}  // namespace vantrix

#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrix {

// The fields of one 'm' reply. The texts are views into the datagram, so a decoded
// reply lives no longer than the bytes it came from. Absent fields stay empty: the
// caller keeps what it had for them.
struct InfoReply {
  // False when the datagram holds no zero byte: then nothing after the type was read.
  bool hasTexts = false;
  std::string_view serverName;  // "" when its text has no terminating zero
  std::string_view map;
  std::optional<std::uint8_t> players;
  std::optional<std::uint8_t> maxPlayers;
  std::optional<char> typeLetter;  // 'D', 'L' or 'P' (from 'd', 'l', 'p' only)
  std::optional<char> osLetter;    // 'L' or 'W' (from 'l', 'w' only; an 'I' reply's 'm', 'o' give 'M')
  std::optional<bool> password;    // from the password byte, only for 0 and 1
};

// True when the datagram starts with FF FF FF FF 'm'.
bool IsInfoReply(std::string_view datagram) noexcept;

// Decodes an info reply; nullopt for any other datagram. Never reads past the end.
std::optional<InfoReply> DecodeInfoReply(std::string_view datagram) noexcept;

// True when the datagram starts with FF FF FF FF 'I'.
bool IsCurrentInfoReply(std::string_view datagram) noexcept;

// Decodes an 'I' reply into the same fields by the same rules for a reply cut short: the
// texts (name, map, folder, game after the protocol byte) read as an 'm' reply's do, and
// the bytes after them (the 16-bit game id, then players, maximum, bots, server type,
// environment, visibility) are each taken only when present. hasTexts is false when no zero
// byte follows the protocol byte. nullopt for any other datagram. Never reads past the end.
std::optional<InfoReply> DecodeCurrentInfoReply(std::string_view datagram) noexcept;

// Either of the two above, by the reply type; nullopt for any other datagram.
std::optional<InfoReply> DecodeAnyInfoReply(std::string_view datagram) noexcept;

}  // namespace vantrix

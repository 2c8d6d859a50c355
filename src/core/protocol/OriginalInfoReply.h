#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/protocol/InfoReading.h"

namespace vantrix {

// The fields of one 'm' reply (the original protocol's info reply). The texts are views
// into the datagram, so a decoded reply lives no longer than the bytes it came from.
// Absent fields stay empty: the caller keeps what it had for them.
struct OriginalInfoReply {
  // False when the datagram holds no zero byte: then nothing after the type was read.
  bool hasTexts = false;
  std::string_view serverName;  // "" when its text has no terminating zero
  std::string_view map;
  std::optional<std::uint8_t> players;
  std::optional<std::uint8_t> maxPlayers;
  std::optional<char> typeLetter;  // 'D', 'L' or 'P'
  std::optional<char> osLetter;    // 'L' or 'W'
  std::optional<bool> password;    // from the password byte, only for 0 and 1
  // Read exactly only: the bots byte after the mod block and the anti-cheat byte.
  std::optional<std::uint8_t> bots;
};

// True when the datagram starts with FF FF FF FF 'm'.
bool IsOriginalInfoReply(std::string_view datagram) noexcept;

// Decodes an 'm' reply; nullopt for any other datagram and, read exactly, for a reply cut
// before its two counts. Never reads past the end.
std::optional<OriginalInfoReply> DecodeOriginalInfoReply(
    std::string_view datagram, InfoReading reading = InfoReading::kOriginalWindow) noexcept;

// The type letter 'D', 'L' or 'P' and the system letter 'L', 'W' (or 'M', which only an
// 'I' reply names) of a reply byte; exactly read, the upper-case letters count too.
std::optional<char> ServerTypeLetter(std::uint8_t byte, InfoReading reading) noexcept;
std::optional<char> SystemLetter(std::uint8_t byte, InfoReading reading) noexcept;

}  // namespace vantrix

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// Bits of the extra-data flag byte, in the order their fields follow it.
enum SourceExtraFlag : std::uint8_t {
  kExtraPort = 0x80,       // 16-bit game port
  kExtraIdentity = 0x10,   // 64-bit server identity
  kExtraSpectator = 0x40,  // 16-bit spectator port and its zero-ended name
  kExtraKeywords = 0x20,   // zero-ended keywords
  kExtraGameId = 0x01,     // 64-bit game id
};

// The fields of one 'I' reply, copied out of the datagram. Texts are raw bytes.
struct SourceInfoReply {
  std::uint8_t protocol = 0;
  std::string name;
  std::string map;
  std::string folder;
  std::string game;
  std::uint16_t appId = 0;
  std::uint8_t players = 0;
  std::uint8_t maxPlayers = 0;
  std::uint8_t bots = 0;
  std::uint8_t serverType = 0;   // 'd' dedicated, 'l' listen, 'p' relay
  std::uint8_t environment = 0;  // 'l' Linux, 'w' Windows, 'm' or 'o' macOS
  std::uint8_t visibility = 0;   // 0 public, 1 password needed
  std::uint8_t secure = 0;
  std::string version;

  // The extra-data flag byte (0 when the reply ends after the version) and the fields it
  // announces. A field cut short by the end of the datagram is absent, and so is every
  // field after it; extraComplete tells whether all announced fields were there.
  std::uint8_t extraFlags = 0;
  bool extraComplete = true;
  std::optional<std::uint16_t> port;
  std::optional<std::uint64_t> identity;
  std::optional<std::uint16_t> spectatorPort;
  std::optional<std::string> spectatorName;
  std::optional<std::string> keywords;
  std::optional<std::uint64_t> gameId;

  bool operator==(const SourceInfoReply&) const = default;
};

// Decodes FF FF FF FF 'I' and the fields above. nullopt for any other datagram and for a
// reply cut short before the end of its version text. Never reads past the end.
std::optional<SourceInfoReply> DecodeSourceInfoReply(std::string_view datagram);

}  // namespace vantrix

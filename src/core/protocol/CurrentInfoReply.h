#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// Bits of the extra-data flag byte, in the order their fields follow it.
enum CurrentExtraFlag : std::uint8_t {
  kExtraPort = 0x80,       // 16-bit game port
  kExtraIdentity = 0x10,   // 64-bit server identity
  kExtraSpectator = 0x40,  // 16-bit spectator port and its zero-ended name
  kExtraKeywords = 0x20,   // zero-ended keywords
  kExtraGameId = 0x01,     // 64-bit game id
};

// The app id of The Ship, whose replies carry fields of their own.
inline constexpr std::uint16_t kTheShipAppId = 2400;

// The fields of one 'I' reply (the current protocol's info reply), copied out of the
// datagram. Texts are raw bytes. Everything up to the two counts is always there; a field
// after them that the datagram does not hold whole is absent, and so is every field after it.
struct CurrentInfoReply {
  std::uint8_t protocol = 0;
  std::string name;
  std::string map;
  std::string folder;
  std::string game;
  std::uint16_t appId = 0;
  std::uint8_t players = 0;
  std::uint8_t maxPlayers = 0;
  std::optional<std::uint8_t> bots;
  std::optional<std::uint8_t> serverType;   // 'd' dedicated, 'l' listen, 'p' relay
  std::optional<std::uint8_t> environment;  // 'l' Linux, 'w' Windows, 'm' or 'o' macOS
  std::optional<std::uint8_t> visibility;   // 0 public, 1 password needed
  std::optional<std::uint8_t> secure;
  // The Ship only (app id kTheShipAppId): game mode, witnesses needed, time limit.
  std::optional<std::uint8_t> shipMode;
  std::optional<std::uint8_t> shipWitnesses;
  std::optional<std::uint8_t> shipDuration;
  std::optional<std::string> version;

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

  bool operator==(const CurrentInfoReply&) const = default;
};

// True when the datagram starts with FF FF FF FF 'I'.
bool IsCurrentInfoReply(std::string_view datagram) noexcept;

// Decodes FF FF FF FF 'I' and the fields above. nullopt for any other datagram and for a
// reply cut short before its two counts. Never reads past the end.
std::optional<CurrentInfoReply> DecodeCurrentInfoReply(std::string_view datagram);

}  // namespace vantrix

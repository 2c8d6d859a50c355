#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/protocol/CurrentInfoReply.h"

namespace vantrix {

// What a server told about itself, from either info reply read exactly, in the window's
// terms: type 'D', 'L' or 'P', os 'L', 'W' or 'M'. Fields a reply does not carry stay empty.
// The checker reports it and the window's current protocol writes it into rows.
struct ServerInfo {
  std::string name;  // raw bytes
  std::string map;
  std::optional<int> players;
  std::optional<int> maxPlayers;
  std::optional<int> bots;
  std::optional<char> type;
  std::optional<char> os;
  std::optional<bool> password;
  // From an 'I' reply only.
  std::optional<std::uint16_t> appId;
  std::optional<std::uint8_t> protocol;
  std::optional<std::uint16_t> gamePort;  // where players connect, when it differs from the query port
  std::optional<std::uint64_t> steamId;
  std::optional<std::string> keywords;
  std::optional<std::uint64_t> gameId;  // the 64-bit game id, else the app id

  bool operator==(const ServerInfo&) const = default;
};

ServerInfo ServerInfoFromCurrentReply(const CurrentInfoReply& reply);

// Either info reply ('m' or 'I'), read exactly; nullopt for any other datagram and for a
// reply cut before its counts.
std::optional<ServerInfo> DecodeServerInfo(std::string_view datagram);

}  // namespace vantrix

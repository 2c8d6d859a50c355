#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/protocol/SourceInfoReply.h"

namespace vantrix {

// What a checked server told about itself, from either info reply, in the window's terms:
// type 'D', 'L' or 'P', os 'L', 'W' or 'M'. Fields a reply does not carry stay empty.
struct ServerInfo {
  std::string name;  // raw bytes
  std::string map;
  std::optional<int> players;
  std::optional<int> maxPlayers;
  std::optional<int> bots;
  std::optional<char> type;
  std::optional<char> os;
  std::optional<bool> password;

  bool operator==(const ServerInfo&) const = default;
};

ServerInfo ServerInfoFromSourceReply(const SourceInfoReply& reply);

// From an 'm' reply; nullopt when the datagram is no 'm' reply or holds none of its texts.
std::optional<ServerInfo> ServerInfoFromDetailsReply(std::string_view datagram);

}  // namespace vantrix

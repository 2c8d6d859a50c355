#include "core/protocol/ServerInfo.h"

#include "core/protocol/InfoReply.h"

namespace vantrix {

namespace {

std::optional<char> ServerTypeLetter(std::uint8_t byte) {
  switch (byte) {
    case 'd':
    case 'D':
      return 'D';
    case 'l':
    case 'L':
      return 'L';
    case 'p':
    case 'P':
      return 'P';
    default:
      return std::nullopt;
  }
}

std::optional<char> EnvironmentLetter(std::uint8_t byte) {
  switch (byte) {
    case 'l':
    case 'L':
      return 'L';
    case 'w':
    case 'W':
      return 'W';
    case 'm':
    case 'M':
    case 'o':
    case 'O':
      return 'M';
    default:
      return std::nullopt;
  }
}

}  // namespace

ServerInfo ServerInfoFromSourceReply(const SourceInfoReply& reply) {
  ServerInfo info;
  info.name = reply.name;
  info.map = reply.map;
  info.players = reply.players;
  info.maxPlayers = reply.maxPlayers;
  info.bots = reply.bots;
  info.type = ServerTypeLetter(reply.serverType);
  info.os = EnvironmentLetter(reply.environment);
  if (reply.visibility <= 1) info.password = reply.visibility == 1;
  return info;
}

std::optional<ServerInfo> ServerInfoFromDetailsReply(std::string_view datagram) {
  auto reply = DecodeInfoReply(datagram);
  if (!reply || !reply->hasTexts) return std::nullopt;
  ServerInfo info;
  info.name = std::string(reply->serverName);
  info.map = std::string(reply->map);
  if (reply->players) info.players = *reply->players;
  if (reply->maxPlayers) info.maxPlayers = *reply->maxPlayers;
  info.type = reply->typeLetter;
  info.os = reply->osLetter;
  info.password = reply->password;
  return info;
}

}  // namespace vantrix

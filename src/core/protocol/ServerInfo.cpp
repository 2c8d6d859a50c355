#include "core/protocol/ServerInfo.h"

#include "core/protocol/OriginalInfoReply.h"

namespace vantrix {

namespace {

std::optional<ServerInfo> ServerInfoFromOriginalReply(std::string_view datagram) {
  const auto reply = DecodeOriginalInfoReply(datagram, InfoReading::kExact);
  if (!reply) return std::nullopt;
  ServerInfo info;
  info.name = std::string(reply->serverName);
  info.map = std::string(reply->map);
  if (reply->players) info.players = *reply->players;
  if (reply->maxPlayers) info.maxPlayers = *reply->maxPlayers;
  if (reply->bots) info.bots = *reply->bots;
  info.type = reply->typeLetter;
  info.os = reply->osLetter;
  info.password = reply->password;
  return info;
}

}  // namespace

ServerInfo ServerInfoFromCurrentReply(const CurrentInfoReply& reply) {
  ServerInfo info;
  info.name = reply.name;
  info.map = reply.map;
  info.players = reply.players;
  info.maxPlayers = reply.maxPlayers;
  if (reply.bots) info.bots = *reply.bots;
  if (reply.serverType) info.type = ServerTypeLetter(*reply.serverType, InfoReading::kExact);
  if (reply.environment) info.os = SystemLetter(*reply.environment, InfoReading::kExact);
  if (reply.visibility && *reply.visibility <= 1) info.password = *reply.visibility == 1;
  info.appId = reply.appId;
  info.protocol = reply.protocol;
  info.gamePort = reply.port;
  info.steamId = reply.identity;
  info.keywords = reply.keywords;
  info.gameId = reply.gameId ? *reply.gameId : std::uint64_t{reply.appId};
  return info;
}

std::optional<ServerInfo> DecodeServerInfo(std::string_view datagram) {
  if (IsCurrentInfoReply(datagram)) {
    const auto reply = DecodeCurrentInfoReply(datagram);
    if (!reply) return std::nullopt;
    return ServerInfoFromCurrentReply(*reply);
  }
  return ServerInfoFromOriginalReply(datagram);
}

}  // namespace vantrix

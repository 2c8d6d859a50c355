#include "core/query/ServerInfoCells.h"

#include <string>

namespace vantrix {

void WriteServerInfoCells(ServerTable& table, int position, const ServerInfo& info, std::int32_t& lastPlayers,
                          std::int32_t& lastMaxPlayers) {
  table.SetCell(position, kNameCell, info.name);
  table.SetCell(position, kMapCell, info.map);
  if (info.players) lastPlayers = *info.players;
  if (info.maxPlayers) lastMaxPlayers = *info.maxPlayers;
  table.SetCell(position, kPlayersCell, std::to_string(lastPlayers) + "/" + std::to_string(lastMaxPlayers));
  if (info.type) table.SetCell(position, kDCell, std::string(1, *info.type));
  if (info.os) table.SetCell(position, kSCell, std::string(1, *info.os));
  if (info.password) table.SetCell(position, kPCell, *info.password ? "+" : "-");
}

}  // namespace vantrix

#pragma once

#include <cstdint>

#include "core/protocol/ServerInfo.h"
#include "core/table/ServerTable.h"

namespace vantrix {

// Writes a decoded info reply into a row as every check of the window does: name and map,
// "players/max" (a count the reply lacks keeps the one of the reply before it, which the
// caller holds), and the D, S and P cells when the reply carries them. Ping and W are the
// caller's. The single check and the parallel check both write through it.
void WriteServerInfoCells(ServerTable& table, int position, const ServerInfo& info, std::int32_t& lastPlayers,
                          std::int32_t& lastMaxPlayers);

}  // namespace vantrix

#include "client/CheckWatch.h"

#include <utility>

namespace vantrix {

WatchObservation WatchObservationOf(const CheckResult& result) {
  WatchObservation observation;
  if (!result.info) return observation;
  const ServerInfo& info = *result.info;
  observation.answered = true;
  observation.name = info.name;
  observation.map = info.map;
  observation.players = info.players.value_or(0);
  observation.maxPlayers = info.maxPlayers.value_or(0);
  if (result.players) {
    std::vector<std::string> names;
    names.reserve(result.players->size());
    for (const PlayerEntry& player : *result.players) names.push_back(player.name);
    observation.playerNames = std::move(names);
  }
  return observation;
}

}  // namespace vantrix

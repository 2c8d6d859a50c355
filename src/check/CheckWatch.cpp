#include "check/CheckWatch.h"

#include <utility>

#include "check/TextEscaping.h"
#include "core/watch/WatchTexts.h"

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

std::string WatchRoundLines(WatchTransitions& transitions, const std::vector<CheckItem>& items,
                            const ItemEndpoints& endpoints,
                            const std::function<const CheckResult&(std::size_t)>& resultFor,
                            std::uint64_t nowMs) {
  std::string lines;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const CheckResult result = endpoints.ResultOfItem(items, i, resultFor);
    for (const WatchEvent& event :
         transitions.Observe(items[i].row.address, WatchObservationOf(result), nowMs))
      lines += TerminalText(WatchEventLine(event.summary, event.body)) + "\n";
  }
  return lines;
}

}  // namespace vantrix

#include "core/watch/WatchTransitions.h"

#include <algorithm>
#include <utility>

#include "core/util/AsciiCase.h"

namespace vantrix {

namespace {

std::string Label(const std::string& address, const WatchObservation& state) {
  return state.name + " (" + address + ")";
}

std::string WithPlayers(const std::string& address, const WatchObservation& state) {
  return Label(address, state) + ": " + std::to_string(state.players) + "/" +
         std::to_string(state.maxPlayers) + " players";
}

bool Full(const WatchObservation& state) {
  return state.maxPlayers > 0 && state.players >= state.maxPlayers;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

void WatchTransitions::SetBuddies(const std::vector<std::string>& buddies) {
  m_buddies.clear();
  for (const std::string& buddy : buddies) {
    std::string folded = AsciiLower(buddy);
    if (!folded.empty() && !Contains(m_buddies, folded)) m_buddies.push_back(std::move(folded));
  }
}

std::vector<std::string> WatchTransitions::BuddiesAmong(const std::vector<std::string>& playerNames) const {
  std::vector<std::string> on;
  if (m_buddies.empty()) return on;
  for (const std::string& player : playerNames) {
    std::string folded = AsciiLower(player);
    if (Contains(m_buddies, folded) && !Contains(on, folded)) on.push_back(std::move(folded));
  }
  return on;
}

std::vector<WatchEvent> WatchTransitions::Observe(const std::string& address, WatchObservation observation,
                                                  std::uint64_t nowMs) {
  std::vector<WatchEvent> events;
  const auto found = m_servers.find(address);
  if (found == m_servers.end()) {
    ServerState& state = m_servers[address];
    if (observation.answered && observation.playerNames)
      state.buddiesOn = BuddiesAmong(*observation.playerNames);
    observation.playerNames.reset();
    state.last = std::move(observation);
    return events;
  }
  ServerState& state = found->second;
  const WatchObservation& before = state.last;
  const WatchObservation& now = observation;
  if (now.answered && !before.answered) {
    Emit(events, address, kOnline, WithPlayers(address, now), {}, nowMs);
  } else if (!now.answered && before.answered) {
    Emit(events, address, kOffline, Label(address, before), {}, nowMs);
  } else if (now.answered) {
    if (before.players == 0 && now.players > 0)
      Emit(events, address, kPlayersJoined, WithPlayers(address, now), {}, nowMs);
    if (Full(before) && !Full(now) && now.maxPlayers > 0)
      Emit(events, address, kSlotFree, WithPlayers(address, now), {}, nowMs);
    if (before.map != now.map)
      Emit(events, address, kMapChanged, Label(address, now) + ": " + now.map, {}, nowMs);
  }
  if (!now.answered) {
    state.buddiesOn.clear();
  } else if (now.playerNames) {
    std::vector<std::string> on = BuddiesAmong(*now.playerNames);
    for (const std::string& player : *now.playerNames) {
      const std::string folded = AsciiLower(player);
      if (Contains(on, folded) && !Contains(state.buddiesOn, folded)) {
        state.buddiesOn.push_back(folded);  // a name listed twice tells once
        Emit(events, address, kBuddyOnline, Label(address, now) + ": " + player, folded, nowMs);
      }
    }
    state.buddiesOn = std::move(on);
  }
  // The players' names live on only as the buddies seen: a thousand lists add up.
  observation.playerNames.reset();
  state.last = std::move(observation);
  return events;
}

void WatchTransitions::Forget(const std::string& address) {
  m_servers.erase(address);
}

void WatchTransitions::Emit(std::vector<WatchEvent>& events, const std::string& address,
                            std::string_view summary, std::string body, std::string_view key,
                            std::uint64_t nowMs) {
  std::string toldKey = address;
  toldKey += '\n';
  toldKey += summary;
  if (!key.empty()) {
    toldKey += '\n';
    toldKey += key;
  }
  const auto told = m_told.find(toldKey);
  if (told != m_told.end() && nowMs - told->second < kRepeatMs) return;
  m_told[toldKey] = nowMs;
  events.push_back({address, std::string(summary), std::move(body)});
}

}  // namespace vantrix

#include "core/protocol/PlayersWindowState.h"

#include "core/protocol/InfoRequest.h"
#include "core/protocol/PlayerList.h"

namespace vantrix {

std::string_view PlayersWindowState::Request() {
  return kOriginalPlayersRequest;
}

std::string PlayersWindowState::Line(std::uint8_t frag, std::string_view name) {
  std::string line = "[" + std::to_string(frag) + "] - ";
  line.append(name);
  return line;
}

std::vector<std::string> PlayersWindowState::Decode(std::string_view datagram) {
  std::vector<std::string> lines;
  const auto players = DecodePlayerList(datagram);
  if (!players) return lines;
  // The frag count shown is the score's low byte.
  for (const PlayerEntry& player : *players)
    lines.push_back(
        Line(static_cast<std::uint8_t>(static_cast<std::uint32_t>(player.score) & 0xFFu), player.name));
  return lines;
}

std::optional<RequestTarget> PlayersWindowState::RequestPlayers(std::string_view address) {
  Restart();
  m_currentAddress = std::string(address);
  return SplitRequestAddress(m_currentAddress);
}

std::vector<std::string> PlayersWindowState::Receive(std::string_view datagram) {
  return Append(Decode(datagram));
}

}  // namespace vantrix

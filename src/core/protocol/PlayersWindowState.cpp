#include "core/protocol/PlayersWindowState.h"

#include "core/protocol/ByteCursor.h"
#include "core/protocol/PlayerRecord.h"

namespace vantrix {

namespace {

constexpr std::string_view kRequest{
    "\xFF\xFF\xFF\xFF"
    "players",
    11};
constexpr std::string_view kReplyHeader{"\xFF\xFF\xFF\xFF\x44", 5};

}  // namespace

std::string_view PlayersWindowState::Request() {
  return kRequest;
}

std::string PlayersWindowState::Line(std::uint8_t frag, std::string_view name) {
  std::string line = "[" + std::to_string(frag) + "] - ";
  line.append(name);
  return line;
}

std::vector<std::string> PlayersWindowState::Decode(std::string_view datagram) {
  std::vector<std::string> lines;
  ByteCursor reader(datagram);
  if (!reader.StartsWith(kReplyHeader)) return lines;
  reader.Skip(kReplyHeader.size());
  const auto count = reader.ReadByte();
  if (!count) return lines;
  for (int i = 0; i < *count; ++i) {
    // A record is only shown when all of it is in the datagram.
    const auto record = PlayerRecord::Read(reader);
    if (!record) break;
    // The frag count shown is the score's low byte.
    lines.push_back(
        Line(static_cast<std::uint8_t>(static_cast<std::uint32_t>(record->score) & 0xFFu), record->name));
  }
  return lines;
}

std::optional<RequestTarget> PlayersWindowState::RequestPlayers(std::string_view address) {
  m_lines.clear();
  m_exchange.Reset();
  m_currentAddress = std::string(address);
  return SplitRequestAddress(m_currentAddress);
}

std::vector<std::string> PlayersWindowState::Receive(std::string_view datagram) {
  std::vector<std::string> added = Decode(datagram);
  m_lines.insert(m_lines.end(), added.begin(), added.end());
  return added;
}

PlayersWindowState::CurrentStep PlayersWindowState::ReceiveCurrent(std::string_view datagram,
                                                                   std::string_view sender) {
  CurrentStep step;
  AskedExchange::Taken taken = m_exchange.Take(datagram, sender);
  step.sendAgain = std::move(taken.sendAgain);
  if (taken.reply) step.added = Receive(*taken.reply);
  return step;
}

}  // namespace vantrix

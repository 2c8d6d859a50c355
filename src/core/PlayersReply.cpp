#include "core/PlayersReply.h"

#include "core/ByteReader.h"

namespace vantrix {

namespace {

constexpr std::string_view kRequest{
    "\xFF\xFF\xFF\xFF"
    "players",
    11};
constexpr std::string_view kReplyHeader{"\xFF\xFF\xFF\xFF\x44", 5};

struct PlayerRecord {
  std::uint8_t frag = 0;
  std::string_view name;
};

// One whole record or nothing: a record is only shown when all of it is in the datagram.
std::optional<PlayerRecord> ReadRecord(ByteReader& reader) {
  ByteReader attempt = reader;
  if (!attempt.ReadByte()) return std::nullopt;  // index, not shown
  auto name = attempt.ReadZeroTerminated();
  if (!name) return std::nullopt;
  auto score = attempt.ReadUint32Le();
  if (!score) return std::nullopt;
  if (!attempt.Skip(4)) return std::nullopt;  // connected time, not shown
  reader = attempt;
  return PlayerRecord{static_cast<std::uint8_t>(*score & 0xFFu), *name};
}

}  // namespace

std::string_view PlayersReply::Request() {
  return kRequest;
}

std::string PlayersReply::Line(std::uint8_t frag, std::string_view name) {
  std::string line = "[" + std::to_string(frag) + "] - ";
  line.append(name);
  return line;
}

std::vector<std::string> PlayersReply::Decode(std::string_view datagram) {
  std::vector<std::string> lines;
  ByteReader reader(datagram);
  if (!reader.StartsWith(kReplyHeader)) return lines;
  reader.Skip(kReplyHeader.size());
  const auto count = reader.ReadByte();
  if (!count) return lines;
  for (int i = 0; i < *count; ++i) {
    const auto record = ReadRecord(reader);
    if (!record) break;
    lines.push_back(Line(record->frag, record->name));
  }
  return lines;
}

std::optional<RequestTarget> PlayersReply::RequestPlayers(std::string_view address) {
  m_lines.clear();
  m_currentAddress = std::string(address);
  return SplitRequestAddress(m_currentAddress);
}

std::vector<std::string> PlayersReply::Receive(std::string_view datagram) {
  std::vector<std::string> added = Decode(datagram);
  m_lines.insert(m_lines.end(), added.begin(), added.end());
  return added;
}

}  // namespace vantrix

#include "core/FakeReplies.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "core/InfoRequest.h"

namespace vantrix::fake {

namespace {

void AppendText(std::string& out, std::string_view text) {
  out.append(text);
  out.push_back('\0');
}

void AppendLittleEndian(std::string& out, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
}

std::string Header(char type) {
  std::string out(kQueryHeader);
  out.push_back(type);
  return out;
}

}  // namespace

std::string BuildInfoReply(const InfoFields& fields) {
  std::string out = Header('m');
  for (const std::string* text :
       {&fields.address, &fields.name, &fields.map, &fields.gameDirectory, &fields.description})
    AppendText(out, *text);
  for (std::uint8_t byte : {fields.players, fields.maxPlayers, fields.protocol, fields.type, fields.os,
                            fields.password, fields.mod})
    out.push_back(static_cast<char>(byte));
  return out;
}

std::string BuildPlayersReply(const std::vector<Player>& players) {
  std::string out = Header('D');
  const std::size_t count = std::min<std::size_t>(players.size(), 255);
  out.push_back(static_cast<char>(count));
  for (std::size_t i = 0; i < count; ++i) {
    const Player& player = players[i];
    out.push_back(static_cast<char>(player.index));
    AppendText(out, player.name);
    AppendLittleEndian(out, std::bit_cast<std::uint32_t>(player.score), 4);
    AppendLittleEndian(out, std::bit_cast<std::uint32_t>(player.time), 4);
  }
  return out;
}

std::string BuildRulesReply(const std::vector<Rule>& rules) {
  std::string out = Header('E');
  AppendLittleEndian(out, static_cast<std::uint32_t>(std::min<std::size_t>(rules.size(), 0xFFFF)), 2);
  for (const Rule& rule : rules) {
    AppendText(out, rule.name);
    AppendText(out, rule.value);
  }
  return out;
}

std::vector<std::string> SplitReply(std::string_view reply, std::uint32_t requestNumber, int parts) {
  if (parts < 2 || parts > kMaxSplitParts) throw std::invalid_argument("a split reply has 2 to 15 parts");
  if (reply.size() < static_cast<std::size_t>(parts)) throw std::invalid_argument("reply too short to split");
  std::vector<std::string> datagrams;
  const std::size_t total = static_cast<std::size_t>(parts);
  std::size_t offset = 0;
  for (std::size_t part = 0; part < total; ++part) {
    // Even cuts; the first parts take the remainder.
    const std::size_t size = reply.size() / total + (part < reply.size() % total ? 1 : 0);
    std::string datagram(kSplitHeader);
    AppendLittleEndian(datagram, requestNumber, 4);
    datagram.push_back(static_cast<char>((part << 4) | total));
    datagram.append(reply.substr(offset, size));
    offset += size;
    datagrams.push_back(std::move(datagram));
  }
  return datagrams;
}

RequestKind ClassifyRequest(std::string_view datagram) {
  if (datagram.starts_with(kInfoRequest)) return RequestKind::kInfo;
  if (datagram.starts_with(kPlayersRequest)) return RequestKind::kPlayers;
  if (datagram.starts_with(kRulesRequest)) return RequestKind::kRules;
  return RequestKind::kUnknown;
}

}  // namespace vantrix::fake

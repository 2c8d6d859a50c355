#include "fake/FakeReplies.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "core/protocol/Bzip2.h"
#include "core/protocol/Crc32.h"
#include "core/protocol/CurrentRequests.h"
#include "core/protocol/InfoRequest.h"

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
  if (!fields.bots) return out;
  if (fields.mod == 1) {
    AppendText(out, "http://mod.example");
    AppendText(out, "http://mod.example/dl");
    out.push_back('\0');
    AppendLittleEndian(out, 1, 4);     // mod version
    AppendLittleEndian(out, 4096, 4);  // mod size
    out.push_back('\0');               // multiplayer only
    out.push_back('\1');               // its own library
  }
  out.push_back('\1');  // anti-cheat
  out.push_back(static_cast<char>(*fields.bots));
  return out;
}

std::string BuildCurrentInfoReply(const CurrentInfoFields& fields) {
  std::string out = Header('I');
  out.push_back(static_cast<char>(fields.protocol));
  for (const std::string* text : {&fields.name, &fields.map, &fields.folder, &fields.game})
    AppendText(out, *text);
  AppendLittleEndian(out, fields.appId, 2);
  for (std::uint8_t byte : {fields.players, fields.maxPlayers, fields.bots, fields.serverType,
                            fields.environment, fields.visibility, fields.secure})
    out.push_back(static_cast<char>(byte));
  if (fields.appId == 2400)
    for (std::uint8_t byte : {fields.shipMode, fields.shipWitnesses, fields.shipDuration})
      out.push_back(static_cast<char>(byte));
  AppendText(out, fields.version);
  if (!fields.hasExtraFlags) return out;
  const std::uint8_t flags = fields.extraFlags;
  out.push_back(static_cast<char>(flags));
  if (flags & 0x80) AppendLittleEndian(out, fields.port, 2);
  if (flags & 0x10) {
    AppendLittleEndian(out, static_cast<std::uint32_t>(fields.identity), 4);
    AppendLittleEndian(out, static_cast<std::uint32_t>(fields.identity >> 32), 4);
  }
  if (flags & 0x40) {
    AppendLittleEndian(out, fields.spectatorPort, 2);
    AppendText(out, fields.spectatorName);
  }
  if (flags & 0x20) AppendText(out, fields.keywords);
  if (flags & 0x01) {
    AppendLittleEndian(out, static_cast<std::uint32_t>(fields.gameId), 4);
    AppendLittleEndian(out, static_cast<std::uint32_t>(fields.gameId >> 32), 4);
  }
  return out;
}

std::string BuildChallengeReply(std::uint32_t challenge) {
  std::string out = Header('A');
  AppendLittleEndian(out, challenge, 4);
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

std::vector<std::string> SplitReplyBySize(std::string_view reply, std::uint32_t requestNumber,
                                          std::size_t partSize, bool compress) {
  if (partSize == 0 || partSize > 0xFFFF) throw std::invalid_argument("a part holds 1 to 65535 bytes");
  std::string data;
  if (compress) {
    requestNumber |= 0x80000000u;
    AppendLittleEndian(data, static_cast<std::uint32_t>(reply.size()), 4);
    AppendLittleEndian(data, Crc32(reply), 4);
    data += Bzip2Compress(reply);
  } else {
    data.assign(reply);
  }
  const std::size_t total = std::max<std::size_t>(1, (data.size() + partSize - 1) / partSize);
  if (total > 255) throw std::invalid_argument("a split reply has at most 255 parts");
  std::vector<std::string> datagrams;
  for (std::size_t part = 0; part < total; ++part) {
    std::string datagram(kSplitHeader);
    AppendLittleEndian(datagram, requestNumber, 4);
    datagram.push_back(static_cast<char>(total));
    datagram.push_back(static_cast<char>(part));
    AppendLittleEndian(datagram, static_cast<std::uint32_t>(partSize), 2);
    datagram.append(std::string_view(data).substr(part * partSize, partSize));
    datagrams.push_back(std::move(datagram));
  }
  return datagrams;
}

RequestKind ClassifyRequest(std::string_view datagram) {
  if (datagram.starts_with(kInfoRequest)) return RequestKind::kInfo;
  if (datagram.starts_with(kPlayersRequest)) return RequestKind::kPlayers;
  if (datagram.starts_with(kRulesRequest)) return RequestKind::kRules;
  switch (ReplyType(datagram)) {
    case kCurrentInfoRequestType:
      if (datagram.substr(5).starts_with(kCurrentInfoText)) return RequestKind::kSourceInfo;
      break;
    case kPlayersRequestType:
      if (datagram.size() >= 9) return RequestKind::kSourcePlayers;
      break;
    case kRulesRequestType:
      if (datagram.size() >= 9) return RequestKind::kSourceRules;
      break;
    case kGetChallengeRequestType:
      return RequestKind::kGetChallenge;
    default:
      break;
  }
  return RequestKind::kUnknown;
}

}  // namespace vantrix::fake

#include "core/protocol/CurrentRequests.h"

#include "core/protocol/ByteCursor.h"
#include "core/protocol/InfoRequest.h"

namespace vantrix {

namespace {

void AppendChallenge(std::string& out, std::uint32_t challenge) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((challenge >> (8 * i)) & 0xFFu));
}

std::string Request(char type) {
  std::string out(kQueryHeader);
  out.push_back(type);
  return out;
}

}  // namespace

std::string CurrentInfoRequest() {
  std::string out = Request(kCurrentInfoRequestType);
  out.append(kCurrentInfoText);
  return out;
}

std::string CurrentInfoRequest(std::uint32_t challenge) {
  std::string out = CurrentInfoRequest();
  AppendChallenge(out, challenge);
  return out;
}

std::string PlayersRequest(std::uint32_t challenge) {
  std::string out = Request(kPlayersRequestType);
  AppendChallenge(out, challenge);
  return out;
}

std::string RulesRequest(std::uint32_t challenge) {
  std::string out = Request(kRulesRequestType);
  AppendChallenge(out, challenge);
  return out;
}

char ReplyType(std::string_view datagram) noexcept {
  if (datagram.size() < 5 || !datagram.starts_with(kQueryHeader)) return 0;
  return datagram[4];
}

std::optional<std::uint32_t> DecodeChallengeReply(std::string_view datagram) noexcept {
  if (ReplyType(datagram) != kChallengeReplyType) return std::nullopt;
  ByteCursor cursor(datagram.substr(5));
  return cursor.ReadUInt32LE();
}

std::optional<std::uint32_t> RequestChallenge(std::string_view request, std::size_t textSize) noexcept {
  if (request.size() < 5 + textSize) return std::nullopt;
  ByteCursor cursor(request.substr(5 + textSize));
  return cursor.ReadUInt32LE();
}

}  // namespace vantrix

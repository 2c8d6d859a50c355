#include "core/protocol/GamePort.h"

#include "core/protocol/SourceInfoReply.h"

namespace vantrix {

std::optional<std::uint16_t> ReplyGamePort(std::string_view datagram) {
  if (datagram.size() < 5 || datagram[4] != 'I') return std::nullopt;  // not worth a decode
  const auto reply = DecodeSourceInfoReply(datagram);
  return reply ? reply->port : std::nullopt;
}

}  // namespace vantrix

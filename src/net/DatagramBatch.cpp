#include "net/DatagramBatch.h"

#include <arpa/inet.h>

#include <algorithm>

namespace vantrix {

std::size_t DatagramBatch::Receive(int socket, std::span<char> buffer, std::size_t place) {
  const std::size_t places = std::min(kMaxBatch, place == 0 ? 0 : buffer.size() / place);
  for (std::size_t i = 0; i < places; ++i) {
    m_places[i] = {buffer.data() + i * place, place};
    m_messages[i] = {};
    msghdr& header = m_messages[i].msg_hdr;
    header.msg_iov = &m_places[i];
    header.msg_iovlen = 1;
    header.msg_name = &m_senders[i];
    header.msg_namelen = sizeof(sockaddr_in);
    header.msg_control = m_controls[i].bytes;
    header.msg_controllen = sizeof m_controls[i].bytes;
  }
  if (places == 0) return 0;
  const int count =
      ::recvmmsg(socket, m_messages.data(), static_cast<unsigned>(places), MSG_DONTWAIT, nullptr);
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

std::optional<DatagramBatch::Datagram> DatagramBatch::At(std::size_t i) const {
  const msghdr& header = m_messages[i].msg_hdr;
  if (header.msg_flags & MSG_TRUNC) return std::nullopt;
  const sockaddr_in& sender = m_senders[i];
  if (sender.sin_family != AF_INET || header.msg_namelen < static_cast<socklen_t>(sizeof sender))
    return std::nullopt;
  return Datagram{ntohl(sender.sin_addr.s_addr), ntohs(sender.sin_port), m_messages[i].msg_len,
                  ReceiveStamps::AgeUs(header)};
}

}  // namespace vantrix

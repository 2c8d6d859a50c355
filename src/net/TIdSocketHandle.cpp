#include "net/TIdSocketHandle.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

#include "net/EIdErrors.h"

namespace vantrix {

namespace {

constexpr int kSendAttempts = 8;

}  // namespace

void TIdSocketHandle::AllocateSocket() {
  CloseSocket();
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd < 0) throw EIdInvalidSocket();
  m_socket.Reset(fd);
}

void TIdSocketHandle::Bind(int port) {
  // A port the system cannot take is refused rather than cut to 16 bits.
  if (port < 0 || port > 65535) throw EIdSocketError::FromErrno(EINVAL);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_ANY);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::bind(m_socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = errno;
    if (error == EADDRINUSE) throw EIdCouldNotBindSocket();
    throw EIdSocketError::FromErrno(error);
  }
  sockaddr_in bound{};
  socklen_t length = sizeof bound;
  if (::getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
    throw EIdSocketError::FromErrno(errno);
  }
  m_port = ntohs(bound.sin_port);
}

void TIdSocketHandle::CloseSocket() {
  m_socket.Reset();
  m_port = 0;
}

void TIdSocketHandle::SetReceiveQueue(int bytes) {
  if (::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) == 0) return;
  ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

void TIdSocketHandle::SetBroadcast(bool enabled) {
  const int value = enabled ? 1 : 0;
  if (::setsockopt(m_socket.Get(), SOL_SOCKET, SO_BROADCAST, &value, sizeof value) != 0) {
    throw EIdSocketError::FromErrno(errno);
  }
}

void TIdSocketHandle::SendTo(std::uint32_t address, std::uint16_t port, std::string_view bytes) const {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_addr.s_addr = htonl(address);
  target.sin_port = htons(port);
  for (int attempt = 0; attempt < kSendAttempts; ++attempt) {
    const ssize_t sent = ::sendto(m_socket.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&target), sizeof target);
    if (sent >= 0) {
      if (static_cast<std::size_t>(sent) != bytes.size()) throw EIdNotAllBytesSent();
      return;
    }
    const int error = errno;
    if (error == EINTR) continue;
    if (error == EMSGSIZE) throw EIdPackageSizeTooBig();
    throw EIdSocketError::FromErrno(error);
  }
  throw EIdSocketError::FromErrno(EINTR);
}

void TIdSocketHandle::SetSender(std::string_view ip, std::uint16_t port) {
  m_senderIp.assign(ip);
  m_senderPort = port;
}

}  // namespace vantrix

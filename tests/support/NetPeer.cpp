#include "support/NetPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace vantrix::test {

NetPeer::NetPeer(const std::string& ip) : m_ip(ip) {
  if (ip.rfind("127.", 0) != 0) throw std::invalid_argument("test peers live on loopback only");
  m_socket.Reset(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!m_socket.Valid()) throw std::runtime_error("socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  if (::inet_pton(AF_INET, ip.c_str(), &address.sin_addr) != 1) throw std::invalid_argument(ip);
  if (::bind(m_socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    throw std::runtime_error("bind " + ip);
  }
  socklen_t length = sizeof address;
  ::getsockname(m_socket.Get(), reinterpret_cast<sockaddr*>(&address), &length);
  m_port = ntohs(address.sin_port);
}

bool NetPeer::SendTo(std::uint16_t port, std::string_view bytes) const {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  target.sin_port = htons(port);
  const ssize_t sent = ::sendto(m_socket.Get(), bytes.data(), bytes.size(), 0,
                                reinterpret_cast<const sockaddr*>(&target), sizeof target);
  return sent == static_cast<ssize_t>(bytes.size());
}

std::optional<NetPeer::Datagram> NetPeer::Receive(std::chrono::milliseconds limit) const {
  pollfd fd{m_socket.Get(), POLLIN, 0};
  if (::poll(&fd, 1, static_cast<int>(limit.count())) <= 0) return std::nullopt;
  std::vector<char> buffer(65536);
  sockaddr_in from{};
  socklen_t length = sizeof from;
  const ssize_t received = ::recvfrom(m_socket.Get(), buffer.data(), buffer.size(), 0,
                                      reinterpret_cast<sockaddr*>(&from), &length);
  if (received < 0) return std::nullopt;
  return Datagram{std::string(buffer.data(), static_cast<std::size_t>(received)), ntohs(from.sin_port)};
}

int OpenDescriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

}  // namespace vantrix::test

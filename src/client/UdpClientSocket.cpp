#include "client/UdpClientSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/DatagramBatch.h"
#include "net/ReceiveStamps.h"

namespace vantrix {

namespace {

constexpr int kBufferBytes = 16 * 1024 * 1024;
constexpr std::size_t kBatch = DatagramBatch::kMaxBatch;
constexpr std::size_t kDatagramBytes = 65536;

void SetBuffer(int fd, int forced, int plain) {
  // Forcing passes the system's cap but needs privileges; the plain option is capped.
  if (setsockopt(fd, SOL_SOCKET, forced, &kBufferBytes, sizeof kBufferBytes) == 0) return;
  setsockopt(fd, SOL_SOCKET, plain, &kBufferBytes, sizeof kBufferBytes);
}

}  // namespace

UdpClientSocket::UdpClientSocket() : m_batch(std::make_unique<DatagramBatch>()) {
  m_fd.Reset(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!m_fd.Valid())
    throw std::runtime_error(std::string("cannot open a UDP socket: ") + std::strerror(errno));
  SetBuffer(m_fd.Get(), SO_RCVBUFFORCE, SO_RCVBUF);
  SetBuffer(m_fd.Get(), SO_SNDBUFFORCE, SO_SNDBUF);
  ReceiveStamps::Enable(m_fd.Get());  // without stamps, arrivals are read when drained
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = 0;
  if (bind(m_fd.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    const int error = errno;
    m_fd.Reset();
    throw std::runtime_error(std::string("cannot bind the UDP socket: ") + std::strerror(error));
  }
}

UdpClientSocket::~UdpClientSocket() = default;

ClientTransport::SendResult UdpClientSocket::Send(const IPv4Endpoint& to, std::string_view datagram) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(to.address);
  address.sin_port = htons(to.port);
  for (int interrupted = 0; interrupted < 8; ++interrupted) {
    const ssize_t sent = sendto(m_fd.Get(), datagram.data(), datagram.size(), 0,
                                reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (sent >= 0) return {};
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS) return {SendStatus::kWouldBlock, {}};
    return {SendStatus::kFailed, std::strerror(errno)};
  }
  return {SendStatus::kWouldBlock, {}};
}

std::size_t UdpClientSocket::Drain(const Sink& sink, MicrosecondClock& clock, std::size_t limit) {
  std::vector<char>& storage = m_storage;
  if (storage.empty()) storage.resize(kBatch * kDatagramBytes);
  std::size_t taken = 0;
  while (taken < limit) {
    const std::size_t count = m_batch->Receive(m_fd.Get(), storage, kDatagramBytes);
    if (count == 0) break;  // nothing more now (or an error, seen again at the next wake)
    const std::uint64_t now = clock.NowUs();
    for (std::size_t i = 0; i < count; ++i) {
      const auto datagram = m_batch->At(i);
      if (!datagram) continue;
      // The kernel's stamp: a reply that queued while the sink was busy keeps its real arrival.
      sink(IPv4Endpoint{datagram->senderIp, datagram->senderPort},
           std::string_view(storage.data() + i * kDatagramBytes, datagram->length),
           now - std::min(now, datagram->ageUs));
    }
    taken += count;
    if (count < kBatch) break;
  }
  return taken;
}

}  // namespace vantrix

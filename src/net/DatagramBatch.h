#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "net/ReceiveStamps.h"

namespace vantrix {

// Up to kMaxBatch datagrams read from a socket with one recvmmsg call, each with its sender and
// the kernel's receive stamp: the one batch reader of the window's listener and the UDP client.
class DatagramBatch final {
 public:
  static constexpr std::size_t kMaxBatch = 64;

  struct Datagram {
    std::uint32_t senderIp = 0;  // host byte order
    std::uint16_t senderPort = 0;
    std::size_t length = 0;   // its bytes start at the i-th place of the buffer
    std::uint64_t ageUs = 0;  // since the kernel received it (0 without a stamp)
  };

  // Reads what is queued now (never waits) into `buffer`, cut in kMaxBatch places of `place`
  // bytes each. The number read; 0 when nothing was queued or the call failed.
  std::size_t Receive(int socket, std::span<char> buffer, std::size_t place);
  // The i-th datagram read; none when it was longer than its place (it was cut short) or
  // did not come from an IPv4 sender: such a datagram is dropped, as a single read drops it.
  std::optional<Datagram> At(std::size_t i) const;

 private:
  struct alignas(cmsghdr) Control {
    char bytes[ReceiveStamps::kControlBytes];
  };
  std::array<mmsghdr, kMaxBatch> m_messages{};
  std::array<iovec, kMaxBatch> m_places{};
  std::array<sockaddr_in, kMaxBatch> m_senders{};
  std::array<Control, kMaxBatch> m_controls{};
};

}  // namespace vantrix

#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/io/UniqueFd.h"

namespace vantrix::test {

// A plain datagram socket on a loopback address, playing a game server or a client.
class NetPeer {
 public:
  struct Datagram {
    std::string bytes;
    std::uint16_t port = 0;
  };

  // Binds to ip:0; the ip must be a 127.x.y.z address.
  explicit NetPeer(const std::string& ip = "127.0.0.1");

  const std::string& Ip() const { return m_ip; }
  std::uint16_t Port() const { return m_port; }
  // Sends to 127.0.0.1:port; false when the system refused.
  bool SendTo(std::uint16_t port, std::string_view bytes) const;
  // Waits for one datagram, at most `limit`.
  std::optional<Datagram> Receive(std::chrono::milliseconds limit) const;

 private:
  UniqueFd m_socket;
  std::string m_ip;
  std::uint16_t m_port = 0;
};

// Number of descriptors this process has open.
int OpenDescriptorCount();

}  // namespace vantrix::test

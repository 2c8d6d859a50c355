#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vantrix::test {

// What the system says about the UDP socket bound to a local port (any address), from
// /proc/net/udp: the bytes waiting unread in its receive queue, and the datagrams it
// dropped because that queue was full.
struct FloodSocketState {
  std::size_t queuedBytes = 0;
  long drops = 0;
};

// None when no IPv4 UDP socket of this network namespace is bound to the port.
std::optional<FloodSocketState> ReadFloodSocketState(std::uint16_t port);

}  // namespace vantrix::test

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrix {

// An IPv4 address and port in host byte order.
struct IPv4Endpoint {
  std::uint32_t address = 0;
  std::uint16_t port = 0;

  std::uint64_t Key() const { return (std::uint64_t{address} << 16) | port; }
  bool operator==(const IPv4Endpoint&) const = default;
};

// Where the checker's requests go out: one socket in the program, a script in the tests.
class ClientTransport {
 public:
  enum class SendStatus { kSent, kWouldBlock, kFailed };
  struct SendResult {
    SendStatus status = SendStatus::kSent;
    std::string error;  // for kFailed
  };

  virtual ~ClientTransport() = default;
  virtual SendResult Send(const IPv4Endpoint& to, std::string_view datagram) = 0;
};

}  // namespace vantrix

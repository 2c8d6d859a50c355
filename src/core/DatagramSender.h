#pragma once

#include <string>
#include <string_view>

namespace vantrix {

// Sends one datagram to host:port, resolving a host name first. Only the port's low
// 16 bits are used. Failures throw (the socket errors derive from EIdException).
class DatagramSender {
 public:
  virtual ~DatagramSender() = default;
  virtual void Send(const std::string& host, int port, std::string_view bytes) = 0;
};

}  // namespace vantrix

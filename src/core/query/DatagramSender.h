#pragma once

#include <string>
#include <string_view>

namespace vantrix {

// Sends one datagram to host:port, resolving a host name first. A port outside 1..65535 is
// refused, never truncated. Failures throw (the socket errors derive from EIdException).
// Gives the address sent to as dotted decimal text, so replies can be told from strangers'.
class DatagramSender {
 public:
  virtual ~DatagramSender() = default;
  virtual std::string Send(const std::string& host, int port, std::string_view bytes) = 0;
};

}  // namespace vantrix

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/io/UniqueFd.h"

namespace vantrix {

// The endpoint's one binding: an IPv4 datagram socket bound to all interfaces, and the
// address of the sender whose datagram is being delivered.
class TIdSocketHandle final {
 public:
  TIdSocketHandle() = default;
  TIdSocketHandle(const TIdSocketHandle&) = delete;
  TIdSocketHandle& operator=(const TIdSocketHandle&) = delete;

  // Creates the socket; EIdInvalidSocket when the system gives none.
  void AllocateSocket();
  // Binds to 0.0.0.0:port (0 lets the system choose) and reads back the port.
  // EIdCouldNotBindSocket when the port is in use, EIdSocketError for every other failure.
  void Bind(int port);
  void CloseSocket();
  // Sets SO_BROADCAST; EIdSocketError when the system refuses.
  void SetBroadcast(bool enabled);
  // Asks the system for a receive queue of `bytes` (beyond its usual cap when allowed), so
  // that a burst of replies waits there rather than being dropped. Best effort.
  void SetReceiveQueue(int bytes);
  // Sends one datagram to address (host byte order):port. EIdPackageSizeTooBig,
  // EIdNotAllBytesSent or EIdSocketError when it cannot be sent whole.
  void SendTo(std::uint32_t address, std::uint16_t port, std::string_view bytes) const;

  int Handle() const { return m_socket.Get(); }
  bool HandleAllocated() const { return m_socket.Valid(); }
  const std::string& IP() const { return m_ip; }
  std::uint16_t Port() const { return m_port; }

  const std::string& SenderIP() const { return m_senderIp; }
  std::uint16_t SenderPort() const { return m_senderPort; }
  // Set by the endpoint just before each delivery.
  void SetSender(std::string_view ip, std::uint16_t port);

 private:
  UniqueFd m_socket;
  std::string m_ip = "0.0.0.0";
  std::uint16_t m_port = 0;
  std::string m_senderIp;
  std::uint16_t m_senderPort = 0;
};

}  // namespace vantrix

#pragma once

#include "client/ClientTransport.h"
#include "core/query/DatagramSender.h"

namespace vantrix {

// The scheduler's requests sent through a window's endpoint, to the dotted address, so
// that the replies come back to that endpoint. A send that throws is a failed send.
class SenderTransport final : public ClientTransport {
 public:
  explicit SenderTransport(DatagramSender& sender) : m_sender(sender) {}

  SendResult Send(const IPv4Endpoint& to, std::string_view datagram) override;

 private:
  DatagramSender& m_sender;
};

}  // namespace vantrix

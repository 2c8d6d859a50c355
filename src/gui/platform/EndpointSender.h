#pragma once

#include "core/query/DatagramSender.h"

namespace vantrix {

class TIdUDPServer;

// Sends through a window's datagram endpoint; the endpoint's socket errors pass through.
class EndpointSender final : public DatagramSender {
 public:
  explicit EndpointSender(TIdUDPServer& endpoint) : m_endpoint(endpoint) {}

  std::string Send(const std::string& host, int port, std::string_view bytes) override;

 private:
  TIdUDPServer& m_endpoint;
};

}  // namespace vantrix

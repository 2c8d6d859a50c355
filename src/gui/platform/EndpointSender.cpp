#include "gui/platform/EndpointSender.h"

#include "net/TIdUDPServer.h"

namespace vantrix {

void EndpointSender::Send(const std::string& host, int port, std::string_view bytes) {
  m_endpoint.Send(host, port, bytes);
}

}  // namespace vantrix

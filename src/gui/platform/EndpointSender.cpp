#include "gui/platform/EndpointSender.h"

#include "net/IPv4Text.h"
#include "net/TIdUDPServer.h"

namespace vantrix {

std::string EndpointSender::Send(const std::string& host, int port, std::string_view bytes) {
  return FormatIPv4(m_endpoint.Send(host, port, bytes));
}

}  // namespace vantrix

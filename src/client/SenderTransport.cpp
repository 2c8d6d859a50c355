#include "client/SenderTransport.h"

#include <exception>
#include <string>

#include "net/IPv4Text.h"

namespace vantrix {

ClientTransport::SendResult SenderTransport::Send(const IPv4Endpoint& to, std::string_view datagram) {
  try {
    m_sender.Send(FormatIPv4(to.address), to.port, datagram);
    return {};
  } catch (const std::exception& error) {
    return {SendStatus::kFailed, error.what()};
  }
}

}  // namespace vantrix

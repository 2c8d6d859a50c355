#include "check/SenderTransport.h"

#include <exception>
#include <string>

#include "net/IPv4Text.h"

namespace vantrix {

CheckTransport::SendResult SenderTransport::Send(const CheckEndpoint& to, std::string_view datagram) {
  try {
    m_sender.Send(FormatIPv4(to.address), to.port, datagram);
    return {};
  } catch (const std::exception& error) {
    return {SendStatus::kFailed, error.what()};
  }
}

}  // namespace vantrix

#include "client/MasterDriver.h"

namespace vantrix {

std::optional<std::uint32_t> MasterDriver::Step(std::uint32_t now) {
  // At most two rounds: a poll that sends makes the next wait the page's time-out.
  for (int round = 0; round < 2; ++round) {
    const auto request = m_session.Poll(now);
    if (!request) break;
    const ClientTransport::SendResult sent = m_transport.Send(m_master, *request);
    if (sent.status == ClientTransport::SendStatus::kFailed) {
      m_session.Fail("Error: Cannot reach the master server: " + sent.error);
      break;
    }
    // A full send buffer loses this request like the network would: the time-out retries.
  }
  return m_session.WaitMs(now);
}

std::size_t MasterDriver::Deliver(const IPv4Endpoint& from, std::string_view datagram, std::uint32_t now) {
  if (!(from == m_master)) return 0;
  return m_session.OnDatagram(datagram, now);
}

}  // namespace vantrix

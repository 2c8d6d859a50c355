#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "client/ClientTransport.h"
#include "core/master/MasterSession.h"

namespace vantrix {

// Runs a MasterSession over a datagram transport: sends the requests it asks for to the
// master and hands it the master's datagrams (others are not its). The window drives it
// from its event loop, vantrix-check from a wait on the socket; both with the same steps.
class MasterDriver {
 public:
  MasterDriver(MasterSession& session, ClientTransport& transport, IPv4Endpoint master)
      : m_session(session), m_transport(transport), m_master(master) {}

  // Sends what is due now; returns the milliseconds until the next step, nullopt when the
  // import is over.
  std::optional<std::uint32_t> Step(std::uint32_t now);
  // A datagram read from the socket; returns how many new addresses it brought.
  std::size_t Deliver(const IPv4Endpoint& from, std::string_view datagram, std::uint32_t now);

  MasterSession& Session() { return m_session; }

 private:
  MasterSession& m_session;
  ClientTransport& m_transport;
  IPv4Endpoint m_master;
};

}  // namespace vantrix

#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "client/MasterDriver.h"
#include "client/UdpClientSocket.h"

namespace vantrix {

// Resolves the master's "host:port" text (dotted addresses without asking the resolver);
// throws std::runtime_error with the status line's text when it cannot.
IPv4Endpoint ResolveMasterEndpoint(const std::string& text);

// Runs an import to its end on a socket of its own, waiting on the socket between steps
// (vantrix-check; the window steps the same driver from its event loop). `progress` is
// told after every page that brought something.
void RunMasterImport(MasterSession& session, IPv4Endpoint master, MicrosecondClock& clock,
                     const std::function<void(const MasterSession&)>& progress);

// The session's tick from a microsecond clock.
inline std::uint32_t MasterTicks(MicrosecondClock& clock) {
  return static_cast<std::uint32_t>(clock.NowUs() / 1000u);
}

}  // namespace vantrix

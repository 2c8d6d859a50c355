#include "client/MasterRun.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "core/master/MasterRequest.h"
#include "net/GetAddrInfoResolver.h"
#include "net/HostLookup.h"

namespace vantrix {

IPv4Endpoint ResolveMasterEndpoint(const std::string& text) {
  const auto hostPort = ParseMasterHostPort(text);
  if (!hostPort) throw std::runtime_error("Error: Master server address is not host:port (" + text + ")");
  GetAddrInfoResolver resolver;
  try {
    return IPv4Endpoint{LookUpHost(hostPort->host, resolver), hostPort->port};
  } catch (const std::exception& error) {
    throw std::runtime_error("Error: Cannot find the master server " + hostPort->host + ": " + error.what());
  }
}

void RunMasterImport(MasterSession& session, IPv4Endpoint master, MicrosecondClock& clock,
                     const std::function<void(const MasterSession&)>& progress) {
  UdpClientSocket socket;
  MasterDriver driver(session, socket, master);
  for (;;) {
    const auto wait = driver.Step(MasterTicks(clock));
    if (!wait) return;
    pollfd ready{socket.Fd(), POLLIN, 0};
    const int got = poll(&ready, 1, static_cast<int>(std::min<std::uint32_t>(*wait, 60'000)));
    if (got < 0 && errno != EINTR) {
      session.Fail("Error: Cannot wait for the master server");
      return;
    }
    if (got <= 0) continue;
    std::size_t added = 0;
    socket.Drain(
        [&](const IPv4Endpoint& from, std::string_view datagram, std::uint64_t arrivalUs) {
          added += driver.Deliver(from, datagram, static_cast<std::uint32_t>(arrivalUs / 1000u));
        },
        clock, 64);
    if (added > 0 && progress) progress(session);
  }
}

}  // namespace vantrix

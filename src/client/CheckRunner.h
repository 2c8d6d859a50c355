#pragma once

#include "client/CheckScheduler.h"
#include "client/RunProgress.h"
#include "client/UdpClientSocket.h"

namespace vantrix {

// Drives a scheduler over the socket until every server has finished: waits for replies,
// for the next time-out or send slot, or for the socket to take more, whichever is first.
class CheckRunner {
 public:
  CheckRunner(UdpClientSocket& socket, MicrosecondClock& clock, RunProgress& progress)
      : m_socket(socket), m_clock(clock), m_progress(progress) {}

  void Run(CheckScheduler& scheduler);

 private:
  void Wait(const CheckScheduler& scheduler);

  UdpClientSocket& m_socket;
  MicrosecondClock& m_clock;
  RunProgress& m_progress;
};

}  // namespace vantrix

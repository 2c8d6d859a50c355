#pragma once

#include "check/CheckScheduler.h"
#include "check/CheckSocket.h"
#include "check/ProgressLine.h"

namespace vantrix {

// Drives a scheduler over the socket until every server has finished: waits for replies,
// for the next time-out or send slot, or for the socket to take more, whichever is first.
class CheckRunner {
 public:
  CheckRunner(CheckSocket& socket, MicrosecondClock& clock, ProgressLine& progress)
      : m_socket(socket), m_clock(clock), m_progress(progress) {}

  void Run(CheckScheduler& scheduler);

 private:
  void Wait(const CheckScheduler& scheduler);

  CheckSocket& m_socket;
  MicrosecondClock& m_clock;
  ProgressLine& m_progress;
};

}  // namespace vantrix

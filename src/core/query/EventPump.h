#pragma once

namespace vantrix {

// Runs the events that are pending on the main thread: datagram hand-overs, timer
// ticks and the user's commands. It may run commands that call back into the caller.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessEvents() = 0;
};

}  // namespace vantrix

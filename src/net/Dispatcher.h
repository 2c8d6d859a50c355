#pragma once

#include <functional>

namespace vantrix {

// Carries a call from a listener thread to the thread that owns the endpoint.
// Post must not block and must not run the task on the calling thread; the owner runs
// posted tasks one at a time, in order, whenever it processes its pending events.
// The window's implementation posts a Qt event; the headless one queues for a pump.
class Dispatcher {
 public:
  virtual ~Dispatcher() = default;
  virtual void Post(std::function<void()> task) = 0;
};

}  // namespace vantrix

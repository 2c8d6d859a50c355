#pragma once

#include <functional>

#include <QObject>

#include "net/Dispatcher.h"

namespace vantrix {

// Hands tasks from any thread to the thread that made this object (the main thread),
// as queued Qt events: they run whenever that thread processes its events, also inside
// a processEvents call made by a command that waits. Whoever posts must stop before the
// dispatcher is destroyed; tasks still queued then are dropped.
class QtDispatcher final : public Dispatcher {
 public:
  QtDispatcher() = default;
  QtDispatcher(const QtDispatcher&) = delete;
  QtDispatcher& operator=(const QtDispatcher&) = delete;

  void Post(std::function<void()> task) override;

 private:
  QObject m_receiver;
};

}  // namespace vantrix

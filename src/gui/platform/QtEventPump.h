#pragma once

#include "core/query/EventPump.h"

namespace vantrix {

// Runs every event pending on the main thread once: datagram hand-overs posted by the
// endpoints, expired timers, input and paint. It never waits for events to come.
class QtEventPump final : public EventPump {
 public:
  void ProcessEvents() override;
};

}  // namespace vantrix

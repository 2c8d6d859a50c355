#pragma once

#include "core/query/EventPump.h"

namespace vantrix {

// Runs every event pending on the main thread once: datagram hand-overs posted by the
// endpoints, expired timers, input, paint and the requests of assistive technology, which
// the accessibility bridge queues here from its bus thread. It never waits for events.
class QtEventPump final : public EventPump {
 public:
  void ProcessEvents() override;
};

}  // namespace vantrix

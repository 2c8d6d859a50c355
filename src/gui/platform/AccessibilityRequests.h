#pragma once

namespace vantrix {

// Answers the requests of assistive technology (screen readers reading the windows over
// the accessibility bus) that wait for the main thread, and nothing else.
//
// The toolkit's accessibility bridge takes each request on its bus thread and queues it
// for the main thread as an event addressed to the object that serves the request's path.
// Delivering just the events of those objects answers the requests while every other
// pending event (datagram hand-overs, timer ticks, input, paint) stays queued, in order.
class AccessibilityRequests {
 public:
  // Main thread only. Does nothing while no assistive technology is connected.
  static void AnswerPending();
};

}  // namespace vantrix

#pragma once

#include <functional>
#include <vector>

#include "core/query/EventPump.h"

namespace vantrix::test {

// Scripts which events run in which pass of event processing. A pass runs, in order:
// the pass hook, every event due in this pass (in the order they were posted), then
// the pollers (the timers). Events posted during a pass run in a later pass, and a
// pass may nest (an event that starts a query processes events itself).
class FakeEventPump final : public EventPump {
 public:
  static constexpr long kMaxPasses = 2'000'000;

  void ProcessEvents() override;

  // Runs the event in the pass `passes` from now (1: the next pass).
  void PostAfter(long passes, std::function<void()> event);
  void Post(std::function<void()> event) { PostAfter(1, std::move(event)); }
  // Called after the events of every pass.
  void AddPoller(std::function<void()> poller) { m_pollers.push_back(std::move(poller)); }
  // Called at the start of every pass with its number.
  void SetPassHook(std::function<void(long)> hook) { m_hook = std::move(hook); }

  long Passes() const { return m_passes; }
  int Depth() const { return m_depth; }
  int MaxDepth() const { return m_maxDepth; }
  std::size_t Pending() const { return m_events.size(); }

 private:
  struct Scheduled {
    long due;
    std::function<void()> event;
  };

  std::vector<Scheduled> m_events;
  std::vector<std::function<void()>> m_pollers;
  std::function<void(long)> m_hook;
  long m_passes = 0;
  int m_depth = 0;
  int m_maxDepth = 0;
};

}  // namespace vantrix::test

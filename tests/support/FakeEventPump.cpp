#include "support/FakeEventPump.h"

#include <stdexcept>

namespace vantrix::test {

namespace {

// Keeps the nesting depth right when an event throws.
class DepthCount {
 public:
  DepthCount(int& depth, int& maxDepth) : m_depth(depth) {
    if (++m_depth > maxDepth) maxDepth = m_depth;
  }
  ~DepthCount() { --m_depth; }
  DepthCount(const DepthCount&) = delete;
  DepthCount& operator=(const DepthCount&) = delete;

 private:
  int& m_depth;
};

}  // namespace

void FakeEventPump::PostAfter(long passes, std::function<void()> event) {
  if (passes < 1) passes = 1;
  m_events.push_back({m_passes + passes, std::move(event)});
}

void FakeEventPump::ProcessEvents() {
  if (m_passes >= kMaxPasses) throw std::runtime_error("too many passes: the wait does not end");
  const long pass = ++m_passes;
  DepthCount depth(m_depth, m_maxDepth);
  if (m_hook) m_hook(pass);

  // Take this pass's events out first: they may post more or process events themselves.
  std::vector<std::function<void()>> due;
  std::vector<Scheduled> later;
  for (auto& scheduled : m_events) {
    if (scheduled.due <= pass)
      due.push_back(std::move(scheduled.event));
    else
      later.push_back(std::move(scheduled));
  }
  m_events = std::move(later);
  for (auto& event : due) event();

  // Copied: a poller may add pollers.
  const auto pollers = m_pollers;
  for (const auto& poller : pollers) poller();
}

}  // namespace vantrix::test

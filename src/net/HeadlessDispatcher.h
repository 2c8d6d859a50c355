#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

#include "net/Dispatcher.h"

namespace vantrix {

// A dispatcher for programs without a window: posted tasks wait in a queue until the owner
// thread runs them with RunPending or WaitAndRunPending.
class HeadlessDispatcher final : public Dispatcher {
 public:
  void Post(std::function<void()> task) override;

  // Runs the tasks that were queued when the call began, in order; tasks posted meanwhile
  // wait for the next call, so a steady stream cannot hold the caller forever. May be called
  // from inside a task. A task's exception propagates; the tasks after it stay queued.
  // Returns the number run.
  std::size_t RunPending();
  // Waits up to `timeout` for a task to be queued, then runs the pending ones.
  std::size_t WaitAndRunPending(std::chrono::milliseconds timeout);
  std::size_t PendingCount() const;

 private:
  bool RunOne();

  mutable std::mutex m_mutex;
  std::condition_variable m_posted;
  std::deque<std::function<void()>> m_queue;
};

}  // namespace vantrix

#include "net/HeadlessDispatcher.h"

namespace vantrix {

void HeadlessDispatcher::Post(std::function<void()> task) {
  {
    const std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(task));
  }
  m_posted.notify_one();
}

bool HeadlessDispatcher::RunOne() {
  std::function<void()> task;
  {
    const std::lock_guard lock(m_mutex);
    if (m_queue.empty()) return false;
    task = std::move(m_queue.front());
    m_queue.pop_front();
  }
  // Run without the lock: the task may post, or pump the queue itself.
  if (task) task();
  return true;
}

std::size_t HeadlessDispatcher::RunPending() {
  const std::size_t queued = PendingCount();
  std::size_t run = 0;
  while (run < queued && RunOne()) ++run;
  return run;
}

std::size_t HeadlessDispatcher::WaitAndRunPending(std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(m_mutex);
    m_posted.wait_for(lock, timeout, [this] { return !m_queue.empty(); });
  }
  return RunPending();
}

std::size_t HeadlessDispatcher::PendingCount() const {
  const std::lock_guard lock(m_mutex);
  return m_queue.size();
}

}  // namespace vantrix

#include "client/ThreadedHostLookups.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace vantrix {

struct ThreadedHostLookups::State {
  std::mutex mutex;
  std::condition_variable work;
  std::deque<std::string> queue;
  std::vector<Answer> done;
  std::vector<std::thread> threads;
  std::vector<bool> busy;  // per thread: inside a lookup
  std::size_t idle = 0;    // threads waiting for work
  bool stop = false;
  std::function<void()> wake;
  Lookup lookup;
};

ThreadedHostLookups::ThreadedHostLookups(std::function<void()> wake, Lookup lookup)
    : m_state(std::make_shared<State>()) {
  m_state->wake = std::move(wake);
  m_state->lookup = std::move(lookup);
}

ThreadedHostLookups::~ThreadedHostLookups() {
  std::vector<std::thread> threads;
  std::vector<bool> busy;
  {
    const std::lock_guard lock(m_state->mutex);
    m_state->stop = true;
    m_state->wake = nullptr;
    m_state->queue.clear();
    threads = std::move(m_state->threads);
    busy = m_state->busy;
  }
  m_state->work.notify_all();
  for (std::size_t i = 0; i < threads.size(); ++i) {
    if (busy[i])
      threads[i].detach();  // ends by itself when its lookup returns
    else
      threads[i].join();  // waiting for work, so it sees the stop at once
  }
}

void ThreadedHostLookups::Request(const std::string& host) {
  const std::lock_guard lock(m_state->mutex);
  m_state->queue.push_back(host);
  if (m_state->idle == 0 && m_state->threads.size() < CheckHostResolver::kLookupThreads) {
    const std::size_t slot = m_state->threads.size();
    m_state->busy.push_back(false);
    m_state->threads.emplace_back(&ThreadedHostLookups::Work, m_state, slot);
  } else {
    m_state->work.notify_one();
  }
}

std::vector<HostLookups::Answer> ThreadedHostLookups::TakeDone() {
  const std::lock_guard lock(m_state->mutex);
  return std::exchange(m_state->done, {});
}

void ThreadedHostLookups::Work(const std::shared_ptr<State>& state, std::size_t slot) {
  std::unique_lock lock(state->mutex);
  for (;;) {
    ++state->idle;
    state->work.wait(lock, [&] { return state->stop || !state->queue.empty(); });
    --state->idle;
    if (state->stop) return;
    std::string host = std::move(state->queue.front());
    state->queue.pop_front();
    state->busy[slot] = true;
    lock.unlock();
    Result result = state->lookup(host);
    lock.lock();
    state->busy[slot] = false;
    if (state->stop) return;
    state->done.emplace_back(std::move(host), std::move(result));
    // Under the lock, so that the destructor, once it holds the lock, knows no call is left.
    if (state->wake) state->wake();
  }
}

}  // namespace vantrix

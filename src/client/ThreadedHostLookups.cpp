#include "client/ThreadedHostLookups.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "net/GetAddrInfoResolver.h"
#include "net/HostLookup.h"

namespace vantrix {

namespace {

bool CanBeHostName(const std::string& host) {
  if (host.empty() || host.size() > 253) return false;
  for (char c : host) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                         c == '.' || c == '-' || c == '_';
    if (!allowed) return false;
  }
  return true;
}

}  // namespace

struct ThreadedHostLookups::State {
  std::mutex mutex;
  std::condition_variable work;
  std::condition_variable answered;  // for AwaitAll
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
  if (m_state->idle == 0 && m_state->threads.size() < kLookupThreads) {
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

std::unordered_map<std::string, ResolveResult> ThreadedHostLookups::AwaitAll(
    const std::vector<std::string>& hosts) {
  const std::unordered_set<std::string> wanted(hosts.begin(), hosts.end());
  for (const std::string& host : wanted) Request(host);
  std::unordered_map<std::string, ResolveResult> found;
  std::unique_lock lock(m_state->mutex);
  while (found.size() < wanted.size()) {
    m_state->answered.wait(lock, [this] { return !m_state->done.empty(); });
    for (Answer& answer : std::exchange(m_state->done, {}))
      if (wanted.contains(answer.first)) found.insert(std::move(answer));
  }
  return found;
}

ResolveResult ThreadedHostLookups::SystemLookup(const std::string& host) {
  // A NUL byte, which would cut the text short inside the system's parsers, is refused here too.
  if (!CanBeHostName(host)) return {ResolveStatus::NotAHostName, 0};
  GetAddrInfoResolver system;
  return ResolveHost(host, system);
}

std::string ThreadedHostLookups::FailureText(const std::string& host, ResolveStatus status) {
  std::string text = "cannot resolve host '" + host + "'";
  if (status != ResolveStatus::NotAHostName) text += std::string(": ") + HostLookupError(status).what();
  return text;
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
    ResolveResult result = state->lookup(host);
    lock.lock();
    state->busy[slot] = false;
    if (state->stop) return;
    state->done.emplace_back(std::move(host), result);
    state->answered.notify_all();
    // Under the lock, so that the destructor, once it holds the lock, knows no call is left.
    if (state->wake) state->wake();
  }
}

}  // namespace vantrix

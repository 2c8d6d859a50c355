#include "support/NetWatchdog.h"

#include <cstdio>
#include <cstdlib>

namespace vantrix::test {

NetWatchdog::NetWatchdog(std::chrono::milliseconds limit, std::string what)
    : m_thread([this, limit, what = std::move(what)] {
        std::unique_lock lock(m_mutex);
        if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
          std::fprintf(stderr, "hung: %s did not finish within %lld ms\n", what.c_str(),
                       static_cast<long long>(limit.count()));
          std::abort();
        }
      }) {}

NetWatchdog::~NetWatchdog() {
  {
    const std::lock_guard lock(m_mutex);
    m_finished = true;
  }
  m_done.notify_all();
  m_thread.join();
}

}  // namespace vantrix::test

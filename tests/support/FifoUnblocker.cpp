#include "support/FifoUnblocker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrix::test {

using namespace std::chrono_literals;

FifoUnblocker::FifoUnblocker(std::filesystem::path fifo, std::chrono::milliseconds limit)
    : m_fifo(std::move(fifo)) {
  m_thread = std::thread([this, limit] { Guard(limit); });
}

FifoUnblocker::~FifoUnblocker() {
  Finish();
}

void FifoUnblocker::Guard(std::chrono::milliseconds limit) {
  std::unique_lock lock(m_mutex);
  if (m_done.wait_for(lock, limit, [this] { return m_finished; })) return;
  m_fired = true;
  const int fd = ::open(m_fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  // Drain what a blocked writer sends for a moment, then close: a blocked reader sees the end.
  char buffer[4096];
  for (int i = 0; i < 20; ++i) {
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
    m_done.wait_for(lock, 10ms);
  }
  ::close(fd);
}

bool FifoUnblocker::Finish() {
  {
    std::lock_guard lock(m_mutex);
    m_finished = true;
  }
  m_done.notify_all();
  if (m_thread.joinable()) m_thread.join();
  return m_fired;
}

bool BlockedOnFifo(const std::filesystem::path& fifo, const std::function<void()>& call) {
  FifoUnblocker guard(fifo, 3s);
  call();
  return guard.Finish();
}

bool MakeFifo(const std::filesystem::path& path) {
  return ::mkfifo(path.c_str(), 0600) == 0;
}

}  // namespace vantrix::test

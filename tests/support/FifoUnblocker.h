#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

namespace vantrix::test {

// Guards a call that might block on a FIFO: when the call has not returned within the
// limit, the FIFO is opened for reading and writing at once (which never blocks and counts
// as both ends), so a blocked open() returns and the test fails instead of hanging.
class FifoUnblocker {
 public:
  FifoUnblocker(std::filesystem::path fifo, std::chrono::milliseconds limit);
  ~FifoUnblocker();
  FifoUnblocker(const FifoUnblocker&) = delete;
  FifoUnblocker& operator=(const FifoUnblocker&) = delete;

  // Ends the guard; true when the guarded call had to be unblocked.
  bool Finish();

 private:
  void Guard(std::chrono::milliseconds limit);

  std::filesystem::path m_fifo;
  std::mutex m_mutex;
  std::condition_variable m_done;
  bool m_finished = false;
  std::atomic<bool> m_fired{false};
  std::thread m_thread;
};

// Runs `call` under a FifoUnblocker (3 s) and tells whether it blocked.
bool BlockedOnFifo(const std::filesystem::path& fifo, const std::function<void()>& call);

// Makes a FIFO; false when the system refuses.
bool MakeFifo(const std::filesystem::path& path);

}  // namespace vantrix::test

#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace vantrix::test {

// Ends the test program with a message when the scope it guards does not finish in time, so
// that a deadlock fails loudly instead of hanging the run.
class NetWatchdog {
 public:
  NetWatchdog(std::chrono::milliseconds limit, std::string what);
  ~NetWatchdog();
  NetWatchdog(const NetWatchdog&) = delete;
  NetWatchdog& operator=(const NetWatchdog&) = delete;

 private:
  std::mutex m_mutex;
  std::condition_variable m_done;
  bool m_finished = false;
  std::thread m_thread;
};

}  // namespace vantrix::test

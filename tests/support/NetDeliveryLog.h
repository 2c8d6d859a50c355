#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/HeadlessDispatcher.h"
#include "net/TIdUDPServer.h"

namespace vantrix::test {

// Records what an endpoint's handler receives, and whether calls ever overlapped.
class NetDeliveryLog {
 public:
  struct Entry {
    std::string bytes;
    std::string senderIp;
    std::uint16_t senderPort = 0;
    std::uint32_t arrivalTick = 0;
    std::thread::id thread;
    const TIdUDPServer* sender = nullptr;
  };

  // Installs the recording handler; `extra` (optional) runs after each record.
  void Attach(TIdUDPServer& server, std::function<void(const Entry&)> extra = {});

  std::vector<Entry> Entries() const;
  std::size_t Count() const;
  bool Overlapped() const { return m_overlapped.load(); }

 private:
  mutable std::mutex m_mutex;
  std::vector<Entry> m_entries;
  std::atomic<int> m_inside{0};
  std::atomic<bool> m_overlapped{false};
};

// Pumps the dispatcher on the calling thread until `done` holds or `limit` has passed.
bool PumpUntil(HeadlessDispatcher& dispatcher, const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace vantrix::test

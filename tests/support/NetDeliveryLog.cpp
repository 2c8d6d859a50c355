#include "support/NetDeliveryLog.h"

namespace vantrix::test {

void NetDeliveryLog::Attach(TIdUDPServer& server, std::function<void(const Entry&)> extra) {
  server.SetOnUDPRead([this, extra = std::move(extra)](TIdUDPServer& sender, std::string_view data,
                                                       const TIdSocketHandle& binding, std::uint32_t tick) {
    if (m_inside.fetch_add(1) != 0) m_overlapped = true;
    Entry entry{std::string(data),          binding.SenderIP(),
                binding.SenderPort(),       tick,
                std::this_thread::get_id(), &sender};
    {
      const std::lock_guard lock(m_mutex);
      m_entries.push_back(entry);
    }
    // Linger a little so that a second, overlapping call would be caught.
    std::this_thread::sleep_for(std::chrono::microseconds(200));
    m_inside.fetch_sub(1);
    if (extra) extra(entry);
  });
}

std::vector<NetDeliveryLog::Entry> NetDeliveryLog::Entries() const {
  const std::lock_guard lock(m_mutex);
  return m_entries;
}

std::size_t NetDeliveryLog::Count() const {
  const std::lock_guard lock(m_mutex);
  return m_entries.size();
}

bool PumpUntil(HeadlessDispatcher& dispatcher, const std::function<bool()>& done,
               std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  // Bounded by the deadline; each pass waits at most 10 ms.
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    dispatcher.WaitAndRunPending(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace vantrix::test

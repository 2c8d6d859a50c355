#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string_view>
#include <vector>

#include "net/ReceivedDatagram.h"

namespace vantrix {

// The state a listener shares with the tasks it posts to the owner thread: the receive
// buffer, the datagram being handed over, its progress and the stop request. Tasks hold it
// by shared_ptr, so a task that runs after its endpoint has closed finds the slot alive,
// sees the stop and does nothing.
class HandOverSlot final {
 public:
  using Delivery = std::function<void(const ReceivedDatagram&)>;

  explicit HandOverSlot(Delivery deliver) : m_deliver(std::move(deliver)) {}
  HandOverSlot(const HandOverSlot&) = delete;
  HandOverSlot& operator=(const HandOverSlot&) = delete;

  // Listener side. The buffer is touched only while no hand-over is outstanding.
  std::span<char> PrepareBuffer(std::size_t size);
  // Records a received datagram (its bytes already in the buffer); returns its number.
  std::uint64_t Publish(std::size_t length, std::string_view senderIp, std::uint16_t senderPort,
                        std::uint32_t arrivalTick);
  // Blocks until the owner has run the datagram's task or a stop is requested;
  // true when it ran, false when the listener must end.
  bool WaitUntilRun(std::uint64_t number);
  // Delivers the published datagram on the calling thread (no hand-over).
  void DeliverHere(std::uint64_t number) { RunTask(number); }
  bool StopRequested() const;

  // Owner side: the posted task. Runs the delivery unless the endpoint is closing or the
  // datagram is not the one outstanding; whatever the delivery throws is dropped.
  void RunTask(std::uint64_t number);

  // Closing side: no delivery starts after this, and a waiting listener wakes up.
  void RequestStop();

 private:
  enum class Phase { Idle, Pending, Running, Done };

  ReceivedDatagram CurrentDatagram() const;

  const Delivery m_deliver;
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_stop = false;
  Phase m_phase = Phase::Idle;
  std::uint64_t m_number = 0;
  std::vector<char> m_buffer;
  std::size_t m_length = 0;
  std::array<char, 16> m_senderIp{};
  std::size_t m_senderIpLength = 0;
  std::uint16_t m_senderPort = 0;
  std::uint32_t m_arrivalTick = 0;
};

}  // namespace vantrix

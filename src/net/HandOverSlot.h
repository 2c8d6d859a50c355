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
// buffer, the datagrams being handed over (one, or a batch read ahead), their progress and
// the stop request. Tasks hold it by shared_ptr, so a task that runs after its endpoint has
// closed finds the slot alive, sees the stop and does nothing.
class HandOverSlot final {
 public:
  using Delivery = std::function<void(const ReceivedDatagram&)>;
  // The most datagrams one hand-over carries.
  static constexpr std::size_t kMaxBatch = 64;

  explicit HandOverSlot(Delivery deliver) : m_deliver(std::move(deliver)) {}
  HandOverSlot(const HandOverSlot&) = delete;
  HandOverSlot& operator=(const HandOverSlot&) = delete;

  // Listener side. The buffer and the batch are touched only while no hand-over is outstanding.
  std::span<char> PrepareBuffer(std::size_t size);
  // Records a received datagram (its bytes already in the buffer); returns its number.
  std::uint64_t Publish(std::size_t length, std::string_view senderIp, std::uint16_t senderPort,
                        std::uint32_t arrivalTick);
  // A batch: kMaxBatch places of `size` bytes each, one after the other in the buffer;
  // Add notes the datagram received into place `place`, Publish hands over all noted ones
  // in the order they were noted (a number, or 0 when none was noted).
  std::span<char> PrepareBatch(std::size_t size);
  void Add(std::size_t place, std::size_t length, std::string_view senderIp, std::uint16_t senderPort,
           std::uint32_t arrivalTick);
  std::uint64_t PublishBatch();
  // Blocks until the owner has run the datagram's task or a stop is requested;
  // true when it ran, false when the listener must end.
  bool WaitUntilRun(std::uint64_t number);
  // Delivers the published datagram on the calling thread (no hand-over).
  void DeliverHere(std::uint64_t number) { RunTask(number); }
  bool StopRequested() const;

  // Owner side: the posted task. Runs the delivery for each datagram handed over, in order,
  // unless the endpoint is closing (checked before each) or the hand-over is not the one
  // outstanding; whatever the delivery throws is dropped and the next datagram goes on.
  void RunTask(std::uint64_t number);

  // Closing side: no delivery starts after this, and a waiting listener wakes up.
  void RequestStop();

 private:
  enum class Phase { Idle, Pending, Running, Done };
  struct Entry {
    std::size_t offset = 0;
    std::size_t length = 0;
    std::array<char, 16> senderIp{};
    std::size_t senderIpLength = 0;
    std::uint16_t senderPort = 0;
    std::uint32_t arrivalTick = 0;
  };

  static void Fill(Entry& entry, std::size_t offset, std::size_t length, std::string_view senderIp,
                   std::uint16_t senderPort, std::uint32_t arrivalTick);
  ReceivedDatagram DatagramAt(std::size_t index) const;
  std::uint64_t PublishLocked();

  const Delivery m_deliver;
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_stop = false;
  Phase m_phase = Phase::Idle;
  std::uint64_t m_number = 0;
  std::vector<char> m_buffer;
  std::size_t m_placeSize = 0;
  std::array<Entry, kMaxBatch> m_entries{};
  std::size_t m_count = 0;
};

}  // namespace vantrix

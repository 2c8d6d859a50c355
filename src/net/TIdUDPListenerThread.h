#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "core/io/UniqueFd.h"
#include "net/DatagramBatch.h"
#include "net/Dispatcher.h"
#include "net/HandOverSlot.h"

namespace vantrix {

// Receives every datagram arriving at one socket and hands each to the owner thread through
// the dispatcher, blocking until the owner has run it (or, with no dispatcher, delivers it on
// its own thread). Datagrams longer than the buffer and receive failures are dropped silently.
// While `readAhead` is true it takes up to HandOverSlot::kMaxBatch datagrams that are already
// queued in one read and hands them over together, delivered one at a time in arrival order;
// it never waits for more to arrive, so a batch holds no datagram longer than one hand-over.
class TIdUDPListenerThread final {
 public:
  static constexpr int kWaitTimeMs = 1000;
  // The largest buffer ever allocated; no IPv4 datagram is longer.
  static constexpr std::size_t kMaxBufferSize = 65536;

  // `socket`, `bufferSize` and `readAhead` must outlive the listener; `dispatcher` (when not
  // null) must outlive every task it is given. Starts the thread; EIdSocketError when it cannot.
  TIdUDPListenerThread(int socket, const std::atomic<std::int32_t>& bufferSize,
                       const std::atomic<bool>& readAhead, Dispatcher* dispatcher,
                       HandOverSlot::Delivery deliver);
  ~TIdUDPListenerThread();
  TIdUDPListenerThread(const TIdUDPListenerThread&) = delete;
  TIdUDPListenerThread& operator=(const TIdUDPListenerThread&) = delete;

  // Cancels a pending hand-over, wakes the readiness wait and joins the thread. Safe to call
  // on the owner thread while a hand-over waits for it, and from inside a delivery.
  void Stop();

 private:
  enum class Receipt { Delivered, Dropped, Nothing, Stopped };

  void Run();
  bool WaitReadable();
  std::size_t BufferBytes() const;
  Receipt ReceiveOne();
  Receipt ReceiveBatch();
  Receipt HandOver(std::uint64_t number);

  const int m_socket;
  const std::atomic<std::int32_t>& m_bufferSize;
  const std::atomic<bool>& m_readAhead;
  Dispatcher* const m_dispatcher;
  const std::shared_ptr<HandOverSlot> m_slot;
  DatagramBatch m_batch;  // the listener thread's own, for reading ahead
  UniqueFd m_wake;
  std::thread m_thread;
};

}  // namespace vantrix

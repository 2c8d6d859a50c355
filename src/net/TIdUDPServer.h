#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>

#include "core/util/QueryDefaults.h"
#include "net/Dispatcher.h"
#include "net/HostResolver.h"
#include "net/TIdSocketHandle.h"
#include "net/TIdUDPListenerThread.h"

namespace vantrix {

class TIdUDPServer;

// Called once per received datagram, in arrival order, one at a time. `data` is the
// listener's buffer and valid only during the call; `binding` carries SenderIP/SenderPort;
// `arrivalTick` is SteadyClock::Now() read right after the datagram was received.
using TUDPReadEvent = std::function<void(TIdUDPServer& sender, std::string_view data,
                                         const TIdSocketHandle& binding, std::uint32_t arrivalTick)>;

// A datagram endpoint: one IPv4 socket bound to all interfaces, a listener thread that hands
// every datagram to OnUDPRead on the owner thread (the thread that runs the dispatcher's
// tasks), and Send. All members are called on the owner thread.
class TIdUDPServer final {
 public:
  static constexpr std::int32_t kDefaultBufferSize = vantrix::kDefaultBufferSize;

  // `dispatcher` must outlive the endpoint. A null resolver means the system's resolver.
  explicit TIdUDPServer(Dispatcher& dispatcher, std::shared_ptr<HostResolver> resolver = nullptr);
  ~TIdUDPServer();
  TIdUDPServer(const TIdUDPServer&) = delete;
  TIdUDPServer& operator=(const TIdUDPServer&) = delete;

  // Creates the socket, binds 0.0.0.0:DefaultPort, starts the listener, applies
  // BroadcastEnabled. EIdInvalidSocket, EIdCouldNotBindSocket or EIdSocketError on failure,
  // leaving the endpoint closed. Does nothing when already open.
  void Open();
  // Stops the listener (cancelling a hand-over that waits for the owner), joins it and closes
  // the socket. Never waits for the owner thread; safe from inside OnUDPRead.
  void Close();

  bool Active() const { return m_active; }
  void SetActive(bool active) { active ? Open() : Close(); }

  // Local port to bind at the next Open; 0 lets the system choose.
  int DefaultPort() const { return m_defaultPort; }
  void SetDefaultPort(int port) { m_defaultPort = port; }

  // The largest datagram delivered; longer ones are dropped. Read before every receive.
  // Values below 1 let only empty datagrams through; at most 64 KiB is ever allocated.
  std::int32_t BufferSize() const { return m_bufferSize.load(std::memory_order_relaxed); }
  void SetBufferSize(std::int32_t size) { m_bufferSize.store(size, std::memory_order_relaxed); }

  // Permission to send to broadcast addresses; applied to the socket at once when open.
  bool BroadcastEnabled() const { return m_broadcastEnabled; }
  void SetBroadcastEnabled(bool enabled);

  // The system's receive queue for the socket, in bytes (0: the system's default); applied
  // at Open and at once when open. A window that asks many servers at once needs room for
  // their answers while its thread is busy.
  int ReceiveQueue() const { return m_receiveQueue; }
  void SetReceiveQueue(int bytes);

  // While true the listener may read up to 64 datagrams that are already queued at once and
  // hand them over together (each still delivered alone, in arrival order): fewer trips to
  // the owner thread when many servers answer at once. False (the default) reads one at a
  // time, the next only after the handler has returned. Takes effect at the next read.
  bool ReadAhead() const { return m_readAhead.load(std::memory_order_relaxed); }
  void SetReadAhead(bool readAhead) { m_readAhead.store(readAhead, std::memory_order_relaxed); }

  // True runs OnUDPRead on the listener thread instead of the owner thread (at the next
  // Open). Such a handler must not close or destroy the endpoint.
  bool ThreadedEvent() const { return m_threadedEvent; }
  void SetThreadedEvent(bool threaded) { m_threadedEvent = threaded; }

  void SetOnUDPRead(TUDPReadEvent handler);

  // The one binding while open, none while closed.
  std::span<const TIdSocketHandle> Bindings() const;
  const TIdSocketHandle& Binding() const { return m_binding; }
  // The bound local port; 0 while closed.
  std::uint16_t LocalPort() const { return m_binding.Port(); }

  // Sends `bytes` as one datagram to host:port from the bound socket. The host is resolved as
  // LookUpHost describes. A port outside 1..65535 is refused. Throws EIdSocketError,
  // EIdPackageSizeTooBig or EIdNotAllBytesSent. Gives the address sent to (host byte order).
  std::uint32_t Send(std::string_view host, int port, std::string_view bytes);

 private:
  void Deliver(const ReceivedDatagram& datagram);
  std::shared_ptr<const TUDPReadEvent> Handler() const;

  Dispatcher& m_dispatcher;
  std::shared_ptr<HostResolver> m_resolver;
  TIdSocketHandle m_binding;
  std::unique_ptr<TIdUDPListenerThread> m_listener;
  std::atomic<std::int32_t> m_bufferSize{kDefaultBufferSize};
  std::atomic<bool> m_readAhead{false};
  bool m_active = false;
  int m_defaultPort = 0;
  bool m_broadcastEnabled = false;
  int m_receiveQueue = 0;
  bool m_threadedEvent = false;
  mutable std::mutex m_handlerMutex;
  std::shared_ptr<const TUDPReadEvent> m_handler;
};

}  // namespace vantrix

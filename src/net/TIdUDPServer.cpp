#include "net/TIdUDPServer.h"

#include <cerrno>

#include "net/EIdErrors.h"
#include "net/GetAddrInfoResolver.h"
#include "net/HostLookup.h"

namespace vantrix {

TIdUDPServer::TIdUDPServer(Dispatcher& dispatcher, std::shared_ptr<HostResolver> resolver)
    : m_dispatcher(dispatcher),
      m_resolver(resolver ? std::move(resolver) : std::make_shared<GetAddrInfoResolver>()) {}

TIdUDPServer::~TIdUDPServer() {
  Close();
}

void TIdUDPServer::Open() {
  if (m_active) return;
  m_binding.AllocateSocket();
  try {
    m_binding.Bind(m_defaultPort);
    if (m_receiveQueue > 0) m_binding.SetReceiveQueue(m_receiveQueue);
    m_listener = std::make_unique<TIdUDPListenerThread>(
        m_binding.Handle(), m_bufferSize, m_readAhead, m_threadedEvent ? nullptr : &m_dispatcher,
        [this](const ReceivedDatagram& datagram) { Deliver(datagram); });
    m_binding.SetBroadcast(m_broadcastEnabled);
  } catch (...) {
    m_listener.reset();
    m_binding.CloseSocket();
    throw;
  }
  m_active = true;
}

void TIdUDPServer::Close() {
  if (!m_active) return;
  m_active = false;
  // The listener goes first, so that its socket is never closed (and its number reused)
  // while it may still read from it. The object itself is released last: Close may run
  // inside a delivery that the listener started.
  std::unique_ptr<TIdUDPListenerThread> listener = std::move(m_listener);
  listener->Stop();
  m_binding.CloseSocket();
}

void TIdUDPServer::SetBroadcastEnabled(bool enabled) {
  m_broadcastEnabled = enabled;
  if (m_active) m_binding.SetBroadcast(enabled);
}

void TIdUDPServer::SetReceiveQueue(int bytes) {
  m_receiveQueue = bytes;
  if (m_active && bytes > 0) m_binding.SetReceiveQueue(bytes);
}

void TIdUDPServer::SetOnUDPRead(TUDPReadEvent handler) {
  auto shared = handler ? std::make_shared<const TUDPReadEvent>(std::move(handler)) : nullptr;
  const std::lock_guard lock(m_handlerMutex);
  m_handler = std::move(shared);
}

std::shared_ptr<const TUDPReadEvent> TIdUDPServer::Handler() const {
  const std::lock_guard lock(m_handlerMutex);
  return m_handler;
}

std::span<const TIdSocketHandle> TIdUDPServer::Bindings() const {
  if (!m_active) return {};
  return {&m_binding, 1};
}

std::uint32_t TIdUDPServer::Send(std::string_view host, int port, std::string_view bytes) {
  if (!m_active) throw EIdSocketError::FromErrno(EBADF);
  if (port < 1 || port > 65535) throw EIdSocketError::FromErrno(EINVAL);
  const std::uint32_t address = LookUpHost(host, *m_resolver);
  m_binding.SendTo(address, static_cast<std::uint16_t>(port), bytes);
  return address;
}

void TIdUDPServer::Deliver(const ReceivedDatagram& datagram) {
  // A local reference keeps the handler alive even if it closes or destroys this endpoint;
  // nothing of the endpoint is touched after the call returns.
  const std::shared_ptr<const TUDPReadEvent> handler = Handler();
  m_binding.SetSender(datagram.senderIp, datagram.senderPort);
  if (handler) (*handler)(*this, datagram.data, m_binding, datagram.arrivalTick);
}

}  // namespace vantrix

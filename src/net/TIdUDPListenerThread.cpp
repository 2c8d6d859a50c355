#include "net/TIdUDPListenerThread.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "core/time/SteadyClock.h"
#include "net/DatagramBatch.h"
#include "net/EIdErrors.h"
#include "net/IPv4Text.h"
#include "net/ReceiveStamps.h"

namespace vantrix {

namespace {

// Pause after an unexpected readiness-wait failure, so that a lasting fault cannot spin.
constexpr auto kFailurePause = std::chrono::milliseconds(5);

}  // namespace

TIdUDPListenerThread::TIdUDPListenerThread(int socket, const std::atomic<std::int32_t>& bufferSize,
                                           const std::atomic<bool>& readAhead, Dispatcher* dispatcher,
                                           HandOverSlot::Delivery deliver)
    : m_socket(socket),
      m_bufferSize(bufferSize),
      m_readAhead(readAhead),
      m_dispatcher(dispatcher),
      m_slot(std::make_shared<HandOverSlot>(std::move(deliver))) {
  const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake < 0) throw EIdSocketError::FromErrno(errno);
  m_wake.Reset(wake);
  ReceiveStamps::Enable(m_socket);  // without stamps, arrivals are read when received
  try {
    m_thread = std::thread([this] { Run(); });
  } catch (const std::system_error& error) {
    throw EIdSocketError(error.code().value(), error.code().message());
  }
}

TIdUDPListenerThread::~TIdUDPListenerThread() {
  Stop();
}

void TIdUDPListenerThread::Stop() {
  m_slot->RequestStop();
  const std::uint64_t one = 1;
  // The counter only needs to become nonzero; a full counter is readable already.
  [[maybe_unused]] const ssize_t written = ::write(m_wake.Get(), &one, sizeof one);
  if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

void TIdUDPListenerThread::Run() {
  // After a datagram the socket is read again at once; the wait is needed only when it is empty.
  bool mustWait = true;
  while (!m_slot->StopRequested()) {
    if (mustWait && !WaitReadable()) continue;
    const Receipt receipt = m_readAhead.load(std::memory_order_relaxed) ? ReceiveBatch() : ReceiveOne();
    if (receipt == Receipt::Stopped) break;
    mustWait = receipt == Receipt::Nothing;
  }
}

bool TIdUDPListenerThread::WaitReadable() {
  pollfd fds[2] = {{m_socket, POLLIN, 0}, {m_wake.Get(), POLLIN, 0}};
  const int ready = ::poll(fds, 2, kWaitTimeMs);
  if (ready < 0) {
    if (errno != EINTR) std::this_thread::sleep_for(kFailurePause);
    return false;
  }
  if (ready == 0 || fds[1].revents != 0) return false;
  return fds[0].revents != 0;
}

std::size_t TIdUDPListenerThread::BufferBytes() const {
  const std::int32_t wanted = m_bufferSize.load(std::memory_order_relaxed);
  return std::min<std::size_t>(static_cast<std::size_t>(std::max<std::int32_t>(wanted, 0)), kMaxBufferSize);
}

TIdUDPListenerThread::Receipt TIdUDPListenerThread::ReceiveOne() {
  const std::size_t size = BufferBytes();
  const std::span<char> buffer = m_slot->PrepareBuffer(size);
  sockaddr_in sender{};
  iovec data{buffer.data(), buffer.size()};
  alignas(cmsghdr) char control[ReceiveStamps::kControlBytes];
  msghdr message{};
  message.msg_name = &sender;
  message.msg_namelen = sizeof sender;
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  // MSG_TRUNC makes the call report the datagram's true length, so one that does not fit is
  // recognised and dropped instead of being delivered cut short.
  const ssize_t received = ::recvmsg(m_socket, &message, MSG_TRUNC | MSG_DONTWAIT);
  if (received < 0) return Receipt::Nothing;
  // The kernel's stamp: a datagram that queued while the owner was busy keeps its real arrival.
  const std::uint32_t arrivalTick = SteadyClock::Before(ReceiveStamps::AgeUs(message));
  const socklen_t senderLength = message.msg_namelen;
  if (static_cast<std::size_t>(received) > size) return Receipt::Dropped;
  if (sender.sin_family != AF_INET || senderLength < static_cast<socklen_t>(sizeof sender))
    return Receipt::Dropped;
  const std::string senderIp = FormatIPv4(ntohl(sender.sin_addr.s_addr));
  const std::uint64_t number =
      m_slot->Publish(static_cast<std::size_t>(received), senderIp, ntohs(sender.sin_port), arrivalTick);
  return HandOver(number);
}

TIdUDPListenerThread::Receipt TIdUDPListenerThread::ReceiveBatch() {
  static_assert(HandOverSlot::kMaxBatch == DatagramBatch::kMaxBatch);
  const std::size_t size = BufferBytes();
  const std::span<char> buffer = m_slot->PrepareBatch(size);
  // Only what is queued already: the call never waits to fill the batch.
  const std::size_t count = m_batch.Receive(m_socket, buffer, size);
  if (count == 0) return Receipt::Nothing;
  for (std::size_t i = 0; i < count; ++i) {
    const auto datagram = m_batch.At(i);
    if (!datagram) continue;
    m_slot->Add(i, datagram->length, FormatIPv4(datagram->senderIp), datagram->senderPort,
                SteadyClock::Before(datagram->ageUs));
  }
  const std::uint64_t number = m_slot->PublishBatch();
  return number == 0 ? Receipt::Dropped : HandOver(number);
}

TIdUDPListenerThread::Receipt TIdUDPListenerThread::HandOver(std::uint64_t number) {
  if (m_dispatcher == nullptr) {
    m_slot->DeliverHere(number);
    return Receipt::Delivered;
  }
  try {
    m_dispatcher->Post([slot = m_slot, number] { slot->RunTask(number); });
  } catch (...) {
    // The owner cannot take the datagram: it is lost like any other receive failure.
    return Receipt::Dropped;
  }
  return m_slot->WaitUntilRun(number) ? Receipt::Delivered : Receipt::Stopped;
}

}  // namespace vantrix

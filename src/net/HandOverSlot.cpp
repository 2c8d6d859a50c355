#include "net/HandOverSlot.h"

#include <algorithm>

namespace vantrix {

std::span<char> HandOverSlot::PrepareBuffer(std::size_t size) {
  // Grows only; the vector keeps its largest size so that no datagram allocates or clears.
  if (m_buffer.size() < size) m_buffer.resize(size);
  return {m_buffer.data(), size};
}

std::uint64_t HandOverSlot::Publish(std::size_t length, std::string_view senderIp, std::uint16_t senderPort,
                                    std::uint32_t arrivalTick) {
  const std::lock_guard lock(m_mutex);
  m_length = length;
  m_senderIpLength = std::min(senderIp.size(), m_senderIp.size());
  std::copy_n(senderIp.begin(), m_senderIpLength, m_senderIp.begin());
  m_senderPort = senderPort;
  m_arrivalTick = arrivalTick;
  m_phase = Phase::Pending;
  return ++m_number;
}

bool HandOverSlot::WaitUntilRun(std::uint64_t number) {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [&] { return m_stop || (m_number == number && m_phase == Phase::Done); });
  return !m_stop;
}

bool HandOverSlot::StopRequested() const {
  const std::lock_guard lock(m_mutex);
  return m_stop;
}

ReceivedDatagram HandOverSlot::CurrentDatagram() const {
  ReceivedDatagram datagram;
  datagram.data = std::string_view(m_buffer.data(), m_length);
  datagram.senderIp = std::string_view(m_senderIp.data(), m_senderIpLength);
  datagram.senderPort = m_senderPort;
  datagram.arrivalTick = m_arrivalTick;
  return datagram;
}

void HandOverSlot::RunTask(std::uint64_t number) {
  ReceivedDatagram datagram;
  {
    const std::lock_guard lock(m_mutex);
    if (m_stop || m_number != number || m_phase != Phase::Pending) return;
    m_phase = Phase::Running;
    datagram = CurrentDatagram();
  }
  try {
    m_deliver(datagram);
  } catch (...) {
    // A failing handler ends only its own delivery; the listener goes on with the next datagram.
  }
  {
    const std::lock_guard lock(m_mutex);
    if (m_number == number) m_phase = Phase::Done;
  }
  m_changed.notify_all();
}

void HandOverSlot::RequestStop() {
  {
    const std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
}

}  // namespace vantrix

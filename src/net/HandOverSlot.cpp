#include "net/HandOverSlot.h"

#include <algorithm>

namespace vantrix {

std::span<char> HandOverSlot::PrepareBuffer(std::size_t size) {
  // Grows only; the vector keeps its largest size so that no datagram allocates or clears.
  if (m_buffer.size() < size) m_buffer.resize(size);
  return {m_buffer.data(), size};
}

std::span<char> HandOverSlot::PrepareBatch(std::size_t size) {
  m_placeSize = size;
  m_count = 0;
  return PrepareBuffer(size * kMaxBatch);
}

void HandOverSlot::Fill(Entry& entry, std::size_t offset, std::size_t length, std::string_view senderIp,
                        std::uint16_t senderPort, std::uint32_t arrivalTick) {
  entry.offset = offset;
  entry.length = length;
  entry.senderIpLength = std::min(senderIp.size(), entry.senderIp.size());
  std::copy_n(senderIp.begin(), entry.senderIpLength, entry.senderIp.begin());
  entry.senderPort = senderPort;
  entry.arrivalTick = arrivalTick;
}

std::uint64_t HandOverSlot::Publish(std::size_t length, std::string_view senderIp, std::uint16_t senderPort,
                                    std::uint32_t arrivalTick) {
  const std::lock_guard lock(m_mutex);
  Fill(m_entries[0], 0, length, senderIp, senderPort, arrivalTick);
  m_count = 1;
  return PublishLocked();
}

void HandOverSlot::Add(std::size_t place, std::size_t length, std::string_view senderIp,
                       std::uint16_t senderPort, std::uint32_t arrivalTick) {
  if (m_count >= kMaxBatch || place >= kMaxBatch) return;
  Fill(m_entries[m_count++], place * m_placeSize, length, senderIp, senderPort, arrivalTick);
}

std::uint64_t HandOverSlot::PublishBatch() {
  const std::lock_guard lock(m_mutex);
  return m_count == 0 ? 0 : PublishLocked();
}

std::uint64_t HandOverSlot::PublishLocked() {
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

ReceivedDatagram HandOverSlot::DatagramAt(std::size_t index) const {
  const Entry& entry = m_entries[index];
  ReceivedDatagram datagram;
  datagram.data = std::string_view(m_buffer.data() + entry.offset, entry.length);
  datagram.senderIp = std::string_view(entry.senderIp.data(), entry.senderIpLength);
  datagram.senderPort = entry.senderPort;
  datagram.arrivalTick = entry.arrivalTick;
  return datagram;
}

void HandOverSlot::RunTask(std::uint64_t number) {
  {
    const std::lock_guard lock(m_mutex);
    if (m_stop || m_number != number || m_phase != Phase::Pending) return;
    m_phase = Phase::Running;
  }
  for (std::size_t index = 0;; ++index) {
    ReceivedDatagram datagram;
    {
      // A stop (the endpoint closed by an earlier datagram's handler) ends the batch here.
      const std::lock_guard lock(m_mutex);
      if (m_stop || m_number != number || index >= m_count) break;
      datagram = DatagramAt(index);
    }
    try {
      m_deliver(datagram);
    } catch (...) {
      // A failing handler ends only its own delivery; the listener goes on with the next datagram.
    }
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

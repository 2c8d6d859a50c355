#include "core/packetlog/PacketLog.h"

#include <utility>

#include "core/packetlog/PacketLogLine.h"

namespace vantrix {

PacketLog::PacketLog(const WallClock& clock) : m_clock(clock) {
  m_entries.reserve(kMaxLines);
}

void PacketLog::LogPacket(std::string_view datagram) {
  Append(PacketLogLine(datagram, m_clock.LocalTimeOfDay(), m_timeFormat));
}

void PacketLog::Append(std::string entry) {
  ++m_lineCount;  // one line, whatever bytes the datagram holds
  m_entries.push_back(std::move(entry));
  if (m_observer != nullptr) m_observer->EntryAppended(m_entries.back());
  if (m_lineCount > kMaxLines) Clear();
}

std::string PacketLog::Text() const {
  std::string text;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (i > 0) text.push_back('\n');
    text.append(m_entries[i]);
  }
  return text;
}

void PacketLog::Clear() {
  m_entries.clear();
  m_lineCount = 0;
  if (m_observer != nullptr) m_observer->LogCleared();
}

}  // namespace vantrix

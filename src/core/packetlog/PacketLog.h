#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/packetlog/PacketLogObserver.h"
#include "core/packetlog/TimeFormat.h"
#include "core/time/WallClock.h"

namespace vantrix {

// The lines of the packet log, one line per entry: a datagram that holds CR or LF bytes is
// still one entry and one line (the window shows its control bytes as a stand-in). The log
// holds at most kMaxLines lines: the entry that takes it beyond is added and then the whole
// log is emptied.
// Appending costs the entry's own length, never the size of the log.
class PacketLog {
 public:
  static constexpr std::size_t kMaxLines = 2000;

  // The clock must outlive the log.
  explicit PacketLog(const WallClock& clock);

  // Appends the entry for one datagram, stamped with the clock's time of day.
  void LogPacket(std::string_view datagram);

  // How the entries' times are written from now on: the desktop's long time format.
  void SetTimeFormat(TimeFormat format) { m_timeFormat = std::move(format); }

  // Appends a finished entry and applies the line limit.
  void Append(std::string entry);

  std::size_t LineCount() const { return m_lineCount; }
  const std::vector<std::string>& Entries() const { return m_entries; }

  // The whole log as the text box holds it: the entries joined by LF.
  std::string Text() const;

  // One observer at a time (nullptr for none); it is told after each change.
  void SetObserver(PacketLogObserver* observer) { m_observer = observer; }

 private:
  void Clear();

  const WallClock& m_clock;
  TimeFormat m_timeFormat;
  std::vector<std::string> m_entries;
  std::size_t m_lineCount = 0;
  PacketLogObserver* m_observer = nullptr;
};

}  // namespace vantrix

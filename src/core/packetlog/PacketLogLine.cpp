#include "core/packetlog/PacketLogLine.h"

#include <algorithm>

namespace vantrix {

std::string LongTimeText(TimeOfDay time, const TimeFormat& format) {
  return format.Format(time);
}

std::string PacketLogLine(std::string_view datagram, TimeOfDay time, const TimeFormat& format) {
  std::string line = LongTimeText(time, format);
  line.append(" - ");
  const size_t start = line.size();
  line.append(datagram);
  std::replace(line.begin() + static_cast<std::ptrdiff_t>(start), line.end(), '\0', ' ');
  return line;
}

std::size_t LineBreakCount(std::string_view text) {
  std::size_t breaks = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++breaks;
    } else if (text[i] == '\r') {
      ++breaks;
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
  }
  return breaks;
}

}  // namespace vantrix

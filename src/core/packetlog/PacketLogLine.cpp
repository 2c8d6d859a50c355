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

}  // namespace vantrix

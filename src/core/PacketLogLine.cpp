#include "core/PacketLogLine.h"

#include <algorithm>
#include <cstdio>

namespace vantrix {

namespace {

int TwoDigits(int value) {
  return std::clamp(value, 0, 99);
}

}  // namespace

std::string LongTimeText(TimeOfDay time) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", TwoDigits(time.hour), TwoDigits(time.minute),
                TwoDigits(time.second));
  return text;
}

std::string PacketLogLine(std::string_view datagram, TimeOfDay time) {
  std::string line = LongTimeText(time);
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

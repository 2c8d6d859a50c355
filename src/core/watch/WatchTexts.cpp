#include "core/watch/WatchTexts.h"

namespace vantrix {

std::string WatchedDescription(std::string_view country, bool watched) {
  std::string text(country);
  if (watched) text += country.empty() ? "watched" : ", watched";
  return text;
}

std::string EscapeNotificationMarkup(std::string_view body) {
  std::string out;
  out.reserve(body.size());
  for (char c : body) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string WatchEventLine(std::string_view summary, std::string_view body) {
  std::string line(summary);
  line += ": ";
  line += body;
  return line;
}

}  // namespace vantrix

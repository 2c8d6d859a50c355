#include "core/packetlog/TimeFormat.h"

#include <algorithm>

#include "core/util/AsciiCase.h"

namespace vantrix {

namespace {

std::string Number(int value, std::size_t digits) {
  std::string text = std::to_string(std::clamp(value, 0, 99));
  if (text.size() < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

std::size_t RunLength(std::string_view pattern, std::size_t at) {
  std::size_t end = at;
  while (end < pattern.size() && pattern[end] == pattern[at]) ++end;
  return end - at;
}

bool HasAmPm(std::string_view pattern) {
  bool quoted = false;
  for (const char c : pattern) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && (c == 'a' || c == 'A')) return true;
  }
  return false;
}

bool HasEveryField(std::string_view pattern) {
  return pattern.find_first_of("hH") != std::string_view::npos &&
         pattern.find('m') != std::string_view::npos && pattern.find('s') != std::string_view::npos;
}

// A quoted stretch starting at `at` (a quote): appends its text, returns where it ends.
std::size_t AppendQuoted(std::string_view pattern, std::size_t at, std::string& out) {
  if (at + 1 < pattern.size() && pattern[at + 1] == '\'') {
    out.push_back('\'');
    return at + 2;
  }
  std::size_t i = at + 1;
  while (i < pattern.size()) {
    if (pattern[i] == '\'') {
      if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
        out.push_back('\'');
        i += 2;
        continue;
      }
      return i + 1;
    }
    out.push_back(pattern[i++]);
  }
  return i;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string TimeFormat::Format(TimeOfDay time) const {
  const std::string_view used = HasEveryField(pattern) ? std::string_view(pattern) : "HH:mm:ss";
  const bool twelveHours = HasAmPm(used);
  const bool morning = time.hour < 12;
  std::string out;
  for (std::size_t i = 0; i < used.size();) {
    const char c = used[i];
    if (c == '\'') {
      i = AppendQuoted(used, i, out);
      continue;
    }
    const std::size_t run = RunLength(used, i);
    const std::size_t digits = std::min<std::size_t>(run, 2);
    switch (c) {
      case 'H':
        out += Number(time.hour, digits);
        break;
      case 'h': {
        const int hour = twelveHours ? (time.hour % 12 == 0 ? 12 : time.hour % 12) : time.hour;
        out += Number(hour, digits);
        break;
      }
      case 'm':
        out += Number(time.minute, digits);
        break;
      case 's':
        out += Number(time.second, digits);
        break;
      case 'z':
        out += run >= 3 ? "000" : "0";
        break;
      case 'A':
        out += AsciiUpper(morning ? amText : pmText);
        break;
      case 'a':
        out += AsciiLower(morning ? amText : pmText);
        break;
      case 't':
        break;  // the time zone: left out
      default:
        out.append(run, c);
        break;
    }
    // "AP" and "ap" are one field, like "A" and "a".
    i += run;
    if ((c == 'A' || c == 'a') && i < used.size() && (used[i] == 'P' || used[i] == 'p')) ++i;
  }
  return Trimmed(out);
}

}  // namespace vantrix

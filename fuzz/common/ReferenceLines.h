#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrix::fuzz {

// The line rules of the program's text files, written out plainly for comparison: the text
// ends at the first 0x1A, lines end at LF, every CR is dropped, and a last line without LF
// counts unless it is empty.
inline std::vector<std::string> ReferenceLines(std::string_view text) {
  text = text.substr(0, text.find('\x1A'));
  std::vector<std::string> lines;
  std::string line;
  for (const char c : text) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line.push_back(c);
    }
  }
  if (!text.empty() && text.back() != '\n') lines.push_back(line);
  return lines;
}

}  // namespace vantrix::fuzz

#include "core/join/CommandWords.h"

namespace vantrix {

std::optional<std::vector<std::string>> SplitCommandWords(std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;  // a word is open, even an empty one made by ""
  bool quoted = false;
  for (std::size_t i = 0; i < command.size(); ++i) {
    const char c = command[i];
    if (quoted) {
      if (c != '"') {
        word.push_back(c);
      } else if (i + 1 < command.size() && command[i + 1] == '"') {
        word.push_back('"');
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      inWord = true;
      if (c == '"')
        quoted = true;
      else
        word.push_back(c);
    }
  }
  if (quoted) return std::nullopt;
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace vantrix

#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantrix {

// How an option reads its value: `read` gives the value of a text or refuses it (nullopt);
// `refusal` is the message for a refused text, which follows the option's name
// ("needs a whole number from 0 to 10, not 'x'").
template <class T>
struct ValueCheck {
  std::function<std::optional<T>(const std::string&)> read;
  std::function<std::string(const std::string&)> refusal;
};

// A whole number in decimal (an optional sign, then digits; leading zeros stay decimal)
// from low to high.
ValueCheck<int> WholeNumber(int low, int high);

// A share from 0 to 1.
ValueCheck<double> Share();

// Any text, the empty one too.
ValueCheck<std::string> AnyText();

// Any text but the empty one; `needs` is the whole message after the name.
ValueCheck<std::string> SomeText(std::string needs);

// One of a few words, each standing for a value; `listed` names the words the message
// offers ("current or original"), which may leave synonyms out.
template <class T>
ValueCheck<T> OneOf(std::vector<std::pair<std::string, T>> words, std::string listed) {
  auto read = [words = std::move(words)](const std::string& text) -> std::optional<T> {
    for (const auto& [word, value] : words)
      if (word == text) return value;
    return std::nullopt;
  };
  return {read, [listed = std::move(listed)](const std::string& text) {
            return "is " + listed + ", not '" + text + "'";
          }};
}

}  // namespace vantrix

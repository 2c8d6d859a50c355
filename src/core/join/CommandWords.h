#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrix {

// Splits a command line into the program and its arguments, the way the join command is
// read: words are separated by spaces or tabs, double quotes group a word (and may start or
// end inside one), and "" inside quotes stands for one quote. nullopt for an unclosed quote.
// No shell is involved, so nothing else is special.
std::optional<std::vector<std::string>> SplitCommandWords(std::string_view command);

}  // namespace vantrix

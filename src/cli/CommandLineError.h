#pragma once

#include <stdexcept>

namespace vantrix {

// Bad command-line use: the message says what was wrong.
class CommandLineError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

}  // namespace vantrix

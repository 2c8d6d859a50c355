#pragma once

#include <stdexcept>
#include <string>

namespace vantrix {

// A text that should hold a number or a colour does not. The message is what the general
// error report shows, e.g. "'xyz' is not a valid integer value".
class ConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace vantrix

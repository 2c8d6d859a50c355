#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantrix {

// A text that should have been a number and is not; its message is what the general
// error report shows.
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

// A whole number written as an optional sign and decimal digits, nothing else, within
// the 32-bit range. Anything else throws EConvertError("'abc' is not a valid integer value").
std::int32_t StrToInt(std::string_view text);

}  // namespace vantrix

#pragma once

#include <stdexcept>
#include <string>

namespace vantrix {

// Base of the socket errors; carries the exact message the program shows.
// It lives in core so that code which sends can catch it without the net layer.
class EIdException : public std::runtime_error {
 public:
  explicit EIdException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vantrix

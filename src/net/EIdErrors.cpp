#include "net/EIdErrors.h"

#include <cstring>

namespace vantrix {

EIdSocketError::EIdSocketError(int code, const std::string& text)
    : EIdException("Socket Error # " + std::to_string(code) + "\r\n" + text), m_code(code) {}

EIdSocketError EIdSocketError::FromErrno(int errnoValue) {
  return EIdSocketError(errnoValue, ErrnoText(errnoValue));
}

namespace {

// strerror_r comes in two shapes; each overload takes the one this C library provides.
[[maybe_unused]] const char* PickText(int result, const char* buffer) {
  return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* PickText(const char* result, const char*) {
  return result;
}

}  // namespace

std::string ErrnoText(int errnoValue) {
  char buffer[256] = {};
  const char* text = PickText(strerror_r(errnoValue, buffer, sizeof buffer), buffer);
  if (text == nullptr || *text == '\0') return "Unknown error " + std::to_string(errnoValue);
  return text;
}

}  // namespace vantrix

#pragma once

#include <stdexcept>
#include <string>

namespace vantrix {

// A failure of the history database. kCorrupt means the file is not a usable database and
// may be moved aside; every other kind stops the history until the program starts again.
class HistoryError : public std::runtime_error {
 public:
  enum class Kind { kLocked, kCorrupt, kFull, kOther };

  HistoryError(Kind kind, const std::string& message) : std::runtime_error(message), m_kind(kind) {}
  Kind GetKind() const { return m_kind; }

 private:
  Kind m_kind;
};

}  // namespace vantrix

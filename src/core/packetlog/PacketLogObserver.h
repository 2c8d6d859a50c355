#pragma once

#include <string_view>

namespace vantrix {

// Told about every change of the packet log, so that a view can follow it cheaply: it
// appends one entry as a new line (as plain text) or empties itself.
class PacketLogObserver {
 public:
  virtual ~PacketLogObserver() = default;
  virtual void EntryAppended(std::string_view entry) = 0;
  virtual void LogCleared() = 0;
};

}  // namespace vantrix

#pragma once

#include <cstdint>
#include <string>

namespace vantrix {

// $XDG_DATA_HOME/vantrix/history.sqlite, or ~/.local/share/vantrix/history.sqlite when the
// variable is unset, empty or not an absolute path (as the base directory rules ask).
std::string HistoryPathFor(const char* xdgDataHome, const char* home);
std::string DefaultHistoryPath();

// Where a damaged file goes: "<path>.corrupt-YYYYMMDD-HHMMSS" at `localTime` (the local
// clock's seconds since 1970).
std::string CorruptPath(const std::string& path, std::int64_t localTime);

}  // namespace vantrix

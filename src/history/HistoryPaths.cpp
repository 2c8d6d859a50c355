#include "history/HistoryPaths.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace vantrix {

std::string HistoryPathFor(const char* xdgDataHome, const char* home) {
  std::string base;
  if (xdgDataHome && xdgDataHome[0] == '/')
    base = xdgDataHome;
  else
    base = std::string(home ? home : "") + "/.local/share";
  return base + "/vantrix/history.sqlite";
}

std::string DefaultHistoryPath() {
  return HistoryPathFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::string CorruptPath(const std::string& path, std::int64_t localTime) {
  const time_t time = static_cast<time_t>(localTime);
  struct tm parts {};
  gmtime_r(&time, &parts);
  char stamp[80];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return path + ".corrupt-" + stamp;
}

}  // namespace vantrix

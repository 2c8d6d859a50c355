#include "support/FloodProcessMemory.h"

#include <fstream>
#include <string>
#include <string_view>

namespace vantrix::test {

namespace {

long StatusKilobytes(std::string_view key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  for (int lines = 0; lines < 1000 && std::getline(status, line); ++lines) {
    if (line.starts_with(key) && line.size() > key.size() && line[key.size()] == ':')
      return std::stol(line.substr(key.size() + 1));
  }
  return -1;
}

}  // namespace

long ResidentKilobytes() {
  return StatusKilobytes("VmRSS");
}

long PeakResidentKilobytes() {
  return StatusKilobytes("VmHWM");
}

}  // namespace vantrix::test

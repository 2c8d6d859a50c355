// An Orbisk settings file. The input is the file.
// Invariants: the rows added are a reference reading's, one per line of the first
// "[Favorites]" section, after the rows already there; in memory and from the file alike.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/FuzzInput.h"
#include "common/ImportCheck.h"
#include "common/ReferenceLines.h"
#include "core/lists/Imports.h"

namespace {

using namespace vantrix;

// "host port=27015" gives "host:27015": the host before the first space (none without a
// space), the port after the first "=" (the whole entry without one).
std::string ReferenceAddress(const std::string& entry) {
  const std::size_t space = entry.find(' ');
  const std::size_t equals = entry.find('=');
  const std::string host = space == std::string::npos ? std::string() : entry.substr(0, space);
  const std::string port = equals == std::string::npos ? entry : entry.substr(equals + 1);
  return host + ":" + port;
}

std::vector<std::string> ReferenceAddresses(std::string_view text) {
  std::vector<std::string> addresses;
  bool inSection = false;
  for (const std::string& line : fuzz::ReferenceLines(text)) {
    if (!inSection) {
      inSection = line == "[Favorites]";
      continue;
    }
    if (line.starts_with("[") && line != "[Favorites]") break;
    addresses.push_back(ReferenceAddress(line));
  }
  return addresses;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  const std::vector<std::string> expected = ReferenceAddresses(text);

  fuzz::CheckImportBothWays(text, expected, ParseOrbisk, ImportOrbisk);
  return 0;
}

// A Trelvanox settings file. The input is the file.
// Invariants: the rows added are a reference reading's, one per line that starts with
// "server" in any case, after the rows already there; in memory and from the file alike.
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

bool StartsWithServer(const std::string& line) {
  if (line.size() < 6) return false;
  std::string key = line.substr(0, 6);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key == "server";
}

// The address is everything after the key and the one byte that separates it.
std::vector<std::string> ReferenceAddresses(std::string_view text) {
  std::vector<std::string> addresses;
  for (const std::string& line : fuzz::ReferenceLines(text)) {
    if (StartsWithServer(line)) addresses.push_back(line.size() > 7 ? line.substr(7) : std::string());
  }
  return addresses;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  const std::vector<std::string> expected = ReferenceAddresses(text);

  fuzz::CheckImportBothWays(text, expected, ParseTrelvanox, ImportTrelvanox);
  return 0;
}

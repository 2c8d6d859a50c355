// A Trelvanox settings file. The input is the file.
// Invariants: the rows added are a reference reading's, one per line that starts with
// "server" in any case, after the rows already there; in memory and from the file alike.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "common/ImportCheck.h"
#include "common/ReferenceLines.h"
#include "common/ScratchFile.h"
#include "core/Imports.h"

namespace {

using namespace vantrix;

constexpr std::string_view kKept = "10.0.0.9:27015";

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

  ServerTable table;
  table.AppendRow(std::string(kKept));
  const int added = ParseTrelvanox(text, table);
  VANTRIX_FUZZ_CHECK(added == static_cast<int>(expected.size()));
  StatusLine status;
  fuzz::CheckImported(table, status, kKept, expected);

  static fuzz::ScratchFile file;
  ServerTable imported;
  imported.AppendRow(std::string(kKept));
  VANTRIX_FUZZ_CHECK(ImportTrelvanox(imported, status, file.Fill(text)));
  fuzz::CheckImported(imported, status, kKept, expected);
  return 0;
}

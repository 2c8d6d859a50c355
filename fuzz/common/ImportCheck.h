#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/FuzzCheck.h"
#include "common/ScratchFile.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"

namespace vantrix::fuzz {

// What an import must leave: the row that was there first, unchanged, then one row per
// expected address, in order, with nine blank cells; and no message.
inline void CheckImported(const ServerTable& table, const StatusLine& status, std::string_view kept,
                          const std::vector<std::string>& addresses) {
  VANTRIX_FUZZ_CHECK(table.Count() == static_cast<int>(addresses.size()) + 1);
  VANTRIX_FUZZ_CHECK(table.Address(0) == kept);
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    const ServerRow& row = table.Row(static_cast<int>(i) + 1);
    VANTRIX_FUZZ_CHECK(row.address == addresses[i]);
    for (const CellText& cell : row.cells) VANTRIX_FUZZ_CHECK(cell == kBlank);
  }
  VANTRIX_FUZZ_CHECK(status.Message() == StatusLine().Message());
}

// Runs one import both ways, parsed from memory and read from a file, each into a table that
// already holds one row, and checks both against the reference reading `expected`.
template <typename Parse, typename Import>
void CheckImportBothWays(std::string_view text, const std::vector<std::string>& expected, Parse parse,
                         Import import) {
  constexpr std::string_view kKept = "10.0.0.9:27015";
  ServerTable table;
  table.AppendRow(std::string(kKept));
  const int added = parse(text, table);
  VANTRIX_FUZZ_CHECK(added == static_cast<int>(expected.size()));
  StatusLine status;
  CheckImported(table, status, kKept, expected);

  static ScratchFile file;
  ServerTable imported;
  imported.AppendRow(std::string(kKept));
  VANTRIX_FUZZ_CHECK(import(imported, status, file.Fill(text)));
  CheckImported(imported, status, kKept, expected);
}

}  // namespace vantrix::fuzz

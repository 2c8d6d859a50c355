// A list file in the plain layout. The input is the file.
// Invariants: one row per line (per non-empty line when empty lines are skipped), split at the
// first "|" into address and Comment with every other cell blank, whether the text is read in
// memory or from a file in chunks of any size; and the saved addresses read back unchanged.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "common/ReferenceLines.h"
#include "common/ScratchFile.h"
#include "core/io/ListFileLines.h"
#include "core/lists/ListFile.h"

namespace {

using namespace vantrix;

struct PlainRecord {
  std::string address;
  std::string comment;
  friend bool operator==(const PlainRecord&, const PlainRecord&) = default;
};

std::vector<PlainRecord> ReferenceRows(std::string_view text, bool skipEmptyLines) {
  std::vector<PlainRecord> rows;
  for (const std::string& line : fuzz::ReferenceLines(text)) {
    if (skipEmptyLines && line.empty()) continue;
    const std::size_t bar = line.find('|');
    if (bar == std::string::npos) {
      rows.push_back({line, " "});
    } else {
      rows.push_back({line.substr(0, bar), line.substr(bar + 1)});
    }
  }
  return rows;
}

// The rows as address and Comment, after checking that every other cell is blank.
std::vector<PlainRecord> RowsOf(const ServerTable& table) {
  std::vector<PlainRecord> rows;
  for (const ServerRow& row : table.Rows()) {
    for (int cell = 0; cell < kCellCount; ++cell) {
      if (cell != kCommentCell) VANTRIX_FUZZ_CHECK(row.cells[cell] == kBlank);
    }
    rows.push_back({row.address.Str(), row.cells[kCommentCell].Str()});
  }
  return rows;
}

void CheckReadFromFile(std::string_view text, bool skipEmptyLines, const std::vector<PlainRecord>& expected) {
  static fuzz::ScratchFile file;
  const std::string& path = file.Fill(text);
  for (const std::size_t chunk :
       {std::size_t{1}, std::size_t{2}, std::size_t{61}, ListFileLines::kDefaultChunk}) {
    ListFileLines lines(chunk);
    VANTRIX_FUZZ_CHECK(lines.Open(path));
    ServerTable table;
    int before = 0;
    const int added = ReadPlainRows(lines, table, skipEmptyLines, [&] { ++before; });
    VANTRIX_FUZZ_CHECK(added == table.Count());
    // The hook runs once for every line, also for the skipped ones.
    VANTRIX_FUZZ_CHECK(static_cast<std::size_t>(before) == fuzz::ReferenceLines(text).size());
    VANTRIX_FUZZ_CHECK(RowsOf(table) == expected);
    if (text.size() > 512) break;  // the byte-wise chunks are slow on long inputs
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  for (const bool skipEmptyLines : {false, true}) {
    ServerTable table;
    const int added = ParsePlainLayout(text, table, skipEmptyLines);
    VANTRIX_FUZZ_CHECK(added == table.Count());
    const std::vector<PlainRecord> read = RowsOf(table);
    VANTRIX_FUZZ_CHECK(read == ReferenceRows(text, skipEmptyLines));
    CheckReadFromFile(text, skipEmptyLines, read);

    // The plain layout keeps only the addresses; they come back as they were.
    ServerTable reread;
    ParsePlainLayout(FormatPlainLayout(table), reread, false);
    VANTRIX_FUZZ_CHECK(reread.Count() == table.Count());
    for (int i = 0; i < table.Count(); ++i) {
      VANTRIX_FUZZ_CHECK(reread.Address(i) == table.Address(i));
      VANTRIX_FUZZ_CHECK(reread.Cell(i, kCommentCell) == kBlank);
    }
  }
  return 0;
}

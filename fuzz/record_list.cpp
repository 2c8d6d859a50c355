// A list file in the record layout. The input is the file.
// Invariants: the rows read are those of a reference reading of the lines, whether the text is
// read in memory or from a file in chunks of any size; no cell read holds a line break; and
// saving any table and reading the file back gives the same rows, with the bytes the writer
// replaces replaced and an empty address saved as " ".
#include <array>
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

using Record = std::array<std::string, kRecordLines>;  // address, then the nine cells

Record RecordOf(const ServerRow& row) {
  Record record;
  record[0] = row.address;
  for (int cell = 0; cell < kCellCount; ++cell) record[static_cast<std::size_t>(cell) + 1] = row.cells[cell];
  return record;
}

std::vector<Record> RecordsOf(const ServerTable& table) {
  std::vector<Record> records;
  for (const ServerRow& row : table.Rows()) records.push_back(RecordOf(row));
  return records;
}

// Ten lines a record; an empty line where a record would begin is skipped; lines missing at
// the end read as empty.
std::vector<Record> ReferenceRecords(std::string_view text) {
  const std::vector<std::string> lines = fuzz::ReferenceLines(text);
  std::vector<Record> records;
  std::size_t i = 0;
  while (i < lines.size()) {
    if (lines[i].empty()) {
      ++i;
      continue;
    }
    Record record;
    for (std::string& field : record) field = i < lines.size() ? lines[i++] : std::string();
    records.push_back(record);
  }
  return records;
}

bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\x1A", 3)) != std::string_view::npos;
}

// What the writer makes of a field.
std::string Written(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\r' || c == '\n' || c == '\x1A') c = ' ';
  return out;
}

// A table of any bytes: fields separated by zero bytes, ten to a row.
void FillFromFields(std::string_view text, ServerTable& table) {
  std::vector<std::string_view> fields;
  // Bounded: each pass consumes one field and its separator.
  while (!text.empty()) {
    const std::size_t end = text.find('\0');
    fields.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  for (std::size_t first = 0; first < fields.size(); first += kRecordLines) {
    ServerRow row = ServerRow::Empty(std::string(fields[first]));
    for (int cell = 0; cell < kCellCount; ++cell) {
      const std::size_t at = first + 1 + static_cast<std::size_t>(cell);
      if (at < fields.size()) row.cells[cell] = std::string(fields[at]);
    }
    table.AppendRow(std::move(row));
  }
}

void CheckReadFromFile(std::string_view text, const std::vector<Record>& expected) {
  static fuzz::ScratchFile file;
  const std::string& path = file.Fill(text);
  // Chunks small enough to cut lines, CR LF pairs and the end marker anywhere.
  for (const std::size_t chunk :
       {std::size_t{1}, std::size_t{3}, std::size_t{64}, ListFileLines::kDefaultChunk}) {
    ListFileLines lines(chunk);
    VANTRIX_FUZZ_CHECK(lines.Open(path));
    ServerTable table;
    const int added = ReadRecordRows(lines, table);
    VANTRIX_FUZZ_CHECK(added == table.Count());
    VANTRIX_FUZZ_CHECK(RecordsOf(table) == expected);
    if (text.size() > 512) break;  // the byte-wise chunks are slow on long inputs
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);

  ServerTable table;
  const int added = ParseRecordLayout(text, table);
  VANTRIX_FUZZ_CHECK(added == table.Count());
  const std::vector<Record> read = RecordsOf(table);
  VANTRIX_FUZZ_CHECK(read == ReferenceRecords(text));
  for (const Record& record : read) {
    VANTRIX_FUZZ_CHECK(!record[0].empty());
    for (const std::string& field : record) VANTRIX_FUZZ_CHECK(!HoldsLineBreak(field));
  }
  CheckReadFromFile(text, read);

  // What was read saves and reads back unchanged.
  ServerTable reread;
  ParseRecordLayout(FormatRecordLayout(table), reread);
  VANTRIX_FUZZ_CHECK(RecordsOf(reread) == read);

  // Any table saves and reads back as the writer promises.
  ServerTable any;
  FillFromFields(text, any);
  std::vector<Record> expected;
  for (const ServerRow& row : any.Rows()) {
    Record record = RecordOf(row);
    for (std::string& field : record) field = Written(field);
    if (record[0].empty()) record[0] = " ";
    expected.push_back(record);
  }
  ServerTable saved;
  ParseRecordLayout(FormatRecordLayout(any), saved);
  VANTRIX_FUZZ_CHECK(RecordsOf(saved) == expected);
  return 0;
}

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/table/ServerRow.h"
#include "core/table/ServerTable.h"

namespace vantrix {

// The two layouts of the program's list files.
//   record: ten lines a row (address, then cells 0..8), no header, no separator;
//   plain:  one line a row, the address, optionally "|" and a comment when read.
enum class ListLayout { kRecord, kPlain };

inline constexpr int kRecordLines = 1 + kCellCount;

// Dialog filter 1 ("*.vnx") selects the record layout, 2 and 3 the plain layout.
ListLayout LayoutForFilter(int filterIndex);

// The extension of a program argument: from the last "." of its file-name part (after the
// last "/") to the end, in ASCII lower case; empty when that part holds no ".".
std::string ArgumentExtension(std::string_view argument);

// The layout a program argument is loaded in: nullopt when it holds no "." at all (it is
// skipped), record for the extension ".vnx", plain for anything else.
std::optional<ListLayout> LayoutForArgument(std::string_view argument);

// A cell as it is written to any of the program's files: CR, LF and 0x1A become a space,
// since any of them would split the line or end the file early when read back.
void AppendFileText(std::string& out, std::string_view cell);
// The cell as above, then CR LF.
void AppendFileLine(std::string& out, std::string_view cell);

// Whole files in each layout. The record layout writes an empty address as " ": an empty
// line where a record begins is read as a gap between records and would shift every later one.
std::string FormatRecordLayout(const ServerTable& table);
std::string FormatPlainLayout(const ServerTable& table);

// The readers append to the table and work on any line source with AtEnd() and ReadLine()
// (LineReader for texts in memory, ListFileLines for files). They return the rows added.

// Blank lines where a record begins are skipped; a record cut short gets empty cells.
template <class Lines>
int ReadRecordRows(Lines& lines, ServerTable& table) {
  int added = 0;
  while (!lines.AtEnd()) {
    std::string address = lines.ReadLine();
    if (address.empty()) continue;
    ServerRow row = ServerRow::Empty(address);
    for (CellText& cell : row.cells) cell = lines.ReadLine();
    table.AppendRow(std::move(row));
    ++added;
  }
  return added;
}

// A plain line: the text before the first "|" is the address, the text after it the Comment;
// all other cells are blank.
ServerRow PlainRow(std::string line);

// beforeLine() runs before each line is read. Empty lines give rows with an empty address
// unless skipEmptyLines is set.
template <class Lines, class BeforeLine>
int ReadPlainRows(Lines& lines, ServerTable& table, bool skipEmptyLines, BeforeLine&& beforeLine) {
  int added = 0;
  while (!lines.AtEnd()) {
    beforeLine();
    std::string line = lines.ReadLine();
    if (skipEmptyLines && line.empty()) continue;
    table.AppendRow(PlainRow(std::move(line)));
    ++added;
  }
  return added;
}

template <class Lines>
int ReadPlainRows(Lines& lines, ServerTable& table, bool skipEmptyLines) {
  return ReadPlainRows(lines, table, skipEmptyLines, [] {});
}

// The readers on a text in memory.
int ParseRecordLayout(std::string_view text, ServerTable& table);
int ParsePlainLayout(std::string_view text, ServerTable& table, bool skipEmptyLines);

}  // namespace vantrix

#include "core/lists/ListFile.h"

#include "core/io/TextFile.h"
#include "core/util/AsciiCase.h"

namespace vantrix {

namespace {

constexpr std::string_view kLineBreakers = "\r\n\x1A";

}  // namespace

ListLayout LayoutForFilter(int filterIndex) {
  return filterIndex == 1 ? ListLayout::kRecord : ListLayout::kPlain;
}

std::string ArgumentExtension(std::string_view argument) {
  const size_t slash = argument.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? argument : argument.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string extension(name.substr(dot));
  for (char& c : extension) c = AsciiLower(c);
  return extension;
}

std::optional<ListLayout> LayoutForArgument(std::string_view argument) {
  if (argument.find('.') == std::string_view::npos) return std::nullopt;
  return ArgumentExtension(argument) == ".vnx" ? ListLayout::kRecord : ListLayout::kPlain;
}

void AppendFileText(std::string& out, std::string_view cell) {
  // Cells almost never hold these bytes; copy whole stretches between them.
  while (!cell.empty()) {
    const size_t bad = cell.find_first_of(kLineBreakers);
    out.append(cell.substr(0, bad));
    if (bad == std::string_view::npos) break;
    out.push_back(' ');
    cell.remove_prefix(bad + 1);
  }
}

void AppendFileLine(std::string& out, std::string_view cell) {
  AppendFileText(out, cell);
  out.append("\r\n");
}

std::string FormatRecordLayout(const ServerTable& table) {
  std::string out;
  size_t size = 0;
  for (const ServerRow& row : table.Rows()) {
    size += row.address.size() + 2 * kRecordLines + 1;
    for (const CellText& cell : row.cells) size += cell.size();
  }
  out.reserve(size);
  for (const ServerRow& row : table.Rows()) {
    AppendFileLine(out, row.address.empty() ? std::string_view(kBlank) : std::string_view(row.address));
    for (const CellText& cell : row.cells) AppendFileLine(out, cell);
  }
  return out;
}

std::string FormatPlainLayout(const ServerTable& table) {
  std::string out;
  for (const ServerRow& row : table.Rows()) AppendFileLine(out, row.address);
  return out;
}

ServerRow PlainRow(std::string line) {
  const size_t bar = line.find('|');
  if (bar == std::string::npos) return ServerRow::Blank(std::move(line));
  ServerRow row = ServerRow::Blank(line.substr(0, bar));
  row.cells[kCommentCell] = line.substr(bar + 1);
  return row;
}

int ParseRecordLayout(std::string_view text, ServerTable& table) {
  LineReader lines(text);
  return ReadRecordRows(lines, table);
}

int ParsePlainLayout(std::string_view text, ServerTable& table, bool skipEmptyLines) {
  LineReader lines(text);
  return ReadPlainRows(lines, table, skipEmptyLines);
}

}  // namespace vantrix

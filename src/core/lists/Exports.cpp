#include "core/lists/Exports.h"

#include <cerrno>
#include <cstring>

#include "core/io/FileWriter.h"
#include "core/io/TextFile.h"
#include "core/lists/ListFile.h"

namespace vantrix {

namespace {

constexpr std::string_view kDash = " - ";

void AppendExportLine(std::string& out, const ServerRow& row, ExportFormat format) {
  const auto cell = [&row](CellIndex index) -> const CellText& {
    return row.cells[static_cast<size_t>(index)];
  };
  AppendFileText(out, row.address);
  switch (format) {
    case ExportFormat::kIpName:
      out.append(kDash);
      AppendFileText(out, cell(kNameCell));
      break;
    case ExportFormat::kIpNamePlayers:
      out.append(kDash);
      AppendFileText(out, cell(kNameCell));
      out.append(kDash);
      AppendFileText(out, cell(kPlayersCell));
      break;
    case ExportFormat::kIpComment:
      out.push_back('|');
      AppendFileText(out, cell(kCommentCell));
      break;
    case ExportFormat::kIpNamePlayersComment:
      out.append(kDash);
      AppendFileText(out, cell(kNameCell));
      out.append(kDash);
      AppendFileText(out, cell(kPlayersCell));
      out.append(kDash);
      AppendFileText(out, cell(kCommentCell));
      break;
  }
}

}  // namespace

std::string ExportLine(const ServerRow& row, ExportFormat format) {
  std::string line;
  AppendExportLine(line, row, format);
  return line;
}

std::string FormatExport(const ServerTable& table, ExportFormat format) {
  std::string out;
  for (const ServerRow& row : table.Rows()) {
    AppendExportLine(out, row, format);
    out.append("\r\n");
  }
  return out;
}

void ExportList(const ServerTable& table, ExportFormat format, const std::filesystem::path& file,
                WriteLimit limit) {
  FileWriter writer(file, limit);
  if (!writer.Open()) {
    const std::string reason = std::strerror(errno);
    throw FileWriteError("Cannot create file " + file.string() + ": " + reason);
  }
  writer.Write(FormatExport(table, format));
  writer.Close();
}

std::optional<std::string> ClipboardAddress(const ServerTable& table, int focusedRow) {
  const int selected = table.SelectedIndex();
  if (selected < 0) return std::nullopt;
  const int row = table.IsValid(focusedRow) ? focusedRow : selected;
  return std::string(table.Address(row));
}

bool SaveSelectedToClipboard(const ServerTable& table, StatusLine& status, int focusedRow,
                             const std::function<bool(const std::string&)>& setClipboardText) {
  const std::optional<std::string> address = ClipboardAddress(table, focusedRow);
  if (!address) return false;
  if (!setClipboardText(*address)) {
    status.SetMessage("Error: Clipboard write failed");
    return false;
  }
  return true;
}

}  // namespace vantrix

#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/io/WriteLimit.h"
#include "core/table/ServerRow.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"

namespace vantrix {

// The four line formats of the export to _list.txt, one line per row:
enum class ExportFormat {
  kIpName,                // address " - " name                          (IPName1Click)
  kIpNamePlayers,         // address " - " name " - " players           (IPNamePlayers1Click)
  kIpComment,             // address "|" comment, the plain layout       (IPComment1Click)
  kIpNamePlayersComment,  // address " - " name " - " players " - " comment (IPNamePlayersComment1Click)
};

// Named without a folder: the export lands in the working directory.
inline constexpr const char* kExportFileName = "_list.txt";

// One row's line without its line end. Cells are taken as they are (a blank cell is its
// space), except that CR, LF and 0x1A become a space so each row stays one line.
std::string ExportLine(const ServerRow& row, ExportFormat format);

// The whole file: every row in display order, each line ending in CR LF.
std::string FormatExport(const ServerTable& table, ExportFormat format);

// Creates or empties the file and writes it in place. Throws FileWriteError when the file
// cannot be created or a write fails; what was written until then stays in the file.
void ExportList(const ServerTable& table, ExportFormat format,
                const std::filesystem::path& file = kExportFileName, WriteLimit limit = {});

// The address "Save selected to clipboard" copies: none when no row is selected (whatever
// holds the focus); else the focused row's address, or the selected row's when no row holds
// the focus (focusedRow -1 or out of range).
std::optional<std::string> ClipboardAddress(const ServerTable& table, int focusedRow);

// "Save selected to clipboard": puts the address, unchanged, on the clipboard through
// setClipboardText, which returns false when the clipboard could not be written; then
// "Error: Clipboard write failed" is shown. Returns true when an address was copied.
bool SaveSelectedToClipboard(const ServerTable& table, StatusLine& status, int focusedRow,
                             const std::function<bool(const std::string&)>& setClipboardText);

}  // namespace vantrix

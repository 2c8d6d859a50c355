#include "core/lists/Imports.h"

#include "core/io/ListFileLines.h"
#include "core/io/TextFile.h"
#include "core/table/TableUpdateBracket.h"
#include "core/util/AsciiCase.h"

namespace vantrix {

namespace {

// Opens the file and runs the reader inside one update bracket, so the view redraws once.
template <class Reader>
bool ImportFile(ServerTable& table, StatusLine& status, const std::string& path, std::string_view lockedText,
                Reader read) {
  ListFileLines lines;
  if (!lines.Open(path)) {
    status.SetMessage(std::string(lockedText) + path);
    return false;
  }
  TableUpdateBracket bracket(table);
  read(lines, table);
  return true;
}

}  // namespace

std::string OrbiskAddress(std::string_view entry) {
  const size_t space = entry.find(' ');
  const size_t equals = entry.find('=');
  const std::string_view host = space == std::string_view::npos ? std::string_view() : entry.substr(0, space);
  const std::string_view port = equals == std::string_view::npos ? entry : entry.substr(equals + 1);
  std::string address;
  address.reserve(host.size() + 1 + port.size());
  address.append(host).append(":").append(port);
  return address;
}

bool IsTrelvanoxServerLine(std::string_view line) {
  constexpr std::string_view kKey = "server";
  if (line.size() < kKey.size()) return false;
  for (size_t i = 0; i < kKey.size(); ++i) {
    if (AsciiLower(line[i]) != kKey[i]) return false;
  }
  return true;
}

std::string TrelvanoxAddress(std::string_view line) {
  constexpr size_t kAddressStart = 7;  // after the six-byte key and its separator
  return line.size() > kAddressStart ? std::string(line.substr(kAddressStart)) : std::string();
}

int ParseOrbisk(std::string_view text, ServerTable& table) {
  LineReader lines(text);
  return ReadOrbiskRows(lines, table);
}

int ParseTrelvanox(std::string_view text, ServerTable& table) {
  LineReader lines(text);
  return ReadTrelvanoxRows(lines, table);
}

bool ImportOrbisk(ServerTable& table, StatusLine& status, const std::string& path) {
  return ImportFile(table, status, path, "File locked: ", [](ListFileLines& lines, ServerTable& rows) {
    ReadOrbiskRows(lines, rows);
  });
}

bool ImportTrelvanox(ServerTable& table, StatusLine& status, const std::string& path) {
  return ImportFile(table, status, path, "File is locked: ", [](ListFileLines& lines, ServerTable& rows) {
    ReadTrelvanoxRows(lines, rows);
  });
}

void ImportOrbiskCommand(ServerTable& table, StatusLine& status, FileChooser& chooser,
                         FileDialogState& openDialog2) {
  if (const auto choice = ShowFileDialog(chooser, openDialog2)) ImportOrbisk(table, status, choice->path);
}

void ImportTrelvanoxCommand(ServerTable& table, StatusLine& status, FileChooser& chooser,
                            FileDialogState& openDialog3) {
  if (const auto choice = ShowFileDialog(chooser, openDialog3)) ImportTrelvanox(table, status, choice->path);
}

}  // namespace vantrix

#pragma once

#include <string>
#include <string_view>

#include "core/lists/FileDialogs.h"
#include "core/table/ServerRow.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"

namespace vantrix {

// Imports of other tools' settings files. Each appends one row per server found, in file
// order, with the address cell and nine blank cells; rows already in the table stay, and
// addresses already present are added again. Nothing is trimmed, validated or completed.

// An Orbisk favourites entry: the text before the first space (empty without one), ":",
// and the text after the first "=" (the whole line without one).
std::string OrbiskAddress(std::string_view entry);

// A Trelvanox line holds a server when its first six bytes are "server" in any ASCII case;
// its address is the text from the eighth byte on (empty for lines of six or seven bytes).
bool IsTrelvanoxServerLine(std::string_view line);
std::string TrelvanoxAddress(std::string_view line);

// Readers over any line source with AtEnd() and ReadLine(); they return the rows added.
// Orbisk: only the lines of the first section that is exactly "[Favorites]", up to the next
// line that starts with "[" (and is not "[Favorites]").
template <class Lines>
int ReadOrbiskRows(Lines& lines, ServerTable& table) {
  constexpr std::string_view kFavorites = "[Favorites]";
  bool found = false;
  while (!found && !lines.AtEnd()) found = lines.ReadLine() == kFavorites;
  if (!found) return 0;
  int added = 0;
  while (!lines.AtEnd()) {
    const std::string line = lines.ReadLine();
    if (!line.empty() && line.front() == '[' && line != kFavorites) break;
    table.AppendRow(ServerRow::Blank(OrbiskAddress(line)));
    ++added;
  }
  return added;
}

template <class Lines>
int ReadTrelvanoxRows(Lines& lines, ServerTable& table) {
  int added = 0;
  while (!lines.AtEnd()) {
    const std::string line = lines.ReadLine();
    if (!IsTrelvanoxServerLine(line)) continue;
    table.AppendRow(ServerRow::Blank(TrelvanoxAddress(line)));
    ++added;
  }
  return added;
}

int ParseOrbisk(std::string_view text, ServerTable& table);
int ParseTrelvanox(std::string_view text, ServerTable& table);

// The import commands on a chosen file. False when it cannot be opened, with the message
// "File locked: " + path (Orbisk) or "File is locked: " + path (Trelvanox); no other message.
// A read error after opening throws FileReadError; rows added until then stay.
bool ImportOrbisk(ServerTable& table, StatusLine& status, const std::string& path);
bool ImportTrelvanox(ServerTable& table, StatusLine& status, const std::string& path);

// With their dialogs (OpenDialog2, OpenDialog3); a cancelled dialog changes nothing.
void ImportOrbiskCommand(ServerTable& table, StatusLine& status, FileChooser& chooser,
                         FileDialogState& openDialog2);
void ImportTrelvanoxCommand(ServerTable& table, StatusLine& status, FileChooser& chooser,
                            FileDialogState& openDialog3);

}  // namespace vantrix

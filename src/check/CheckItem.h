#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/protocol/RequestTarget.h"
#include "core/table/ServerRow.h"

namespace vantrix {

// One server to check: its row as read (address cell and cells, blank for an argument),
// where to send, or why it cannot be queried.
struct CheckItem {
  ServerRow row;
  std::optional<RequestTarget> target;
  std::string error;
};

// The host is the text before the first ":" and the port the text after it, as in the
// window; an address without ":" gets the default port. Blanks around either are ignored
// (the address cell is kept as it was). An empty host or a port that is not a number
// from 1 to 65535 gives an item with an error.
CheckItem MakeCheckItem(ServerRow row, std::uint16_t defaultPort);

// True when the address holds nothing but spaces and tabs: such rows are not checked.
bool IsBlankAddress(std::string_view address);

// Appends the rows of a list file, in the record layout for the extension ".vnx" and in
// the plain layout otherwise, leaving out rows with a blank address. Gives the error
// text when the file cannot be opened or read; the rows read before a read error stay.
std::optional<std::string> ReadCheckList(const std::filesystem::path& path, std::vector<ServerRow>& rows);

// Appends the rows of a text in the plain layout (one address, optionally "|" comment, a line).
void ReadCheckLines(std::string_view text, std::vector<ServerRow>& rows);

}  // namespace vantrix

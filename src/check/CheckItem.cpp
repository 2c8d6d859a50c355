#include "check/CheckItem.h"

#include "core/io/ListFileLines.h"
#include "core/io/TextFile.h"
#include "core/lists/ListFile.h"
#include "core/table/ServerTable.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

void TakeRows(const ServerTable& table, std::vector<ServerRow>& rows) {
  for (const ServerRow& row : table.Rows())
    if (!IsBlankAddress(row.address)) rows.push_back(row);
}

}  // namespace

bool IsBlankAddress(std::string_view address) {
  return TrimBlanks(address).empty();
}

CheckItem MakeCheckItem(ServerRow row, std::uint16_t defaultPort) {
  CheckItem item;
  item.row = std::move(row);
  const std::string_view address = item.row.address;
  const std::size_t colon = address.find(':');
  const std::string_view host = TrimBlanks(address.substr(0, colon));
  if (host.empty()) {
    item.error = "no host in the address";
    return item;
  }
  std::uint16_t port = defaultPort;
  if (colon != std::string_view::npos) {
    const std::string_view portText = TrimBlanks(address.substr(colon + 1));
    auto value = TryStrToInt(portText);
    if (!value || *value < 1 || *value > 65535) {
      item.error = "bad port '" + std::string(portText) + "'";
      return item;
    }
    port = static_cast<std::uint16_t>(*value);
  }
  item.target = RequestTarget{std::string(host), port};
  return item;
}

std::optional<std::string> ReadCheckList(const std::filesystem::path& path, std::vector<ServerRow>& rows) {
  const std::string name = path.string();
  ListFileLines lines;
  if (!lines.Open(path)) return "Cannot open file (" + name + ")";
  ServerTable table;
  try {
    if (LayoutForArgument(name) == ListLayout::kRecord)
      ReadRecordRows(lines, table);
    else
      ReadPlainRows(lines, table, true);
  } catch (const FileReadError& error) {
    TakeRows(table, rows);
    return "Cannot read file (" + name + "): " + error.what();
  }
  TakeRows(table, rows);
  return std::nullopt;
}

void ReadCheckLines(std::string_view text, std::vector<ServerRow>& rows) {
  ServerTable table;
  ParsePlainLayout(text, table, true);
  TakeRows(table, rows);
}

}  // namespace vantrix

#include "core/master/MasterRows.h"

#include <string>
#include <unordered_set>

#include "core/table/TableUpdateBracket.h"

namespace vantrix {

std::size_t AppendMasterRows(ServerTable& table, const std::vector<MasterAddress>& addresses) {
  if (addresses.empty()) return 0;
  // The rows already there, looked up by text (the table's own lookup is rebuilt after
  // every append); the new ones by number, which is cheaper than hashing their text.
  std::unordered_set<std::string> present;
  present.reserve(static_cast<std::size_t>(table.Count()));
  for (const ServerRow& row : table.Rows()) present.emplace(row.address.View());
  std::unordered_set<std::uint64_t> added;
  added.reserve(addresses.size());
  TableUpdateBracket bracket(table);
  for (const MasterAddress& address : addresses) {
    std::string text = address.Text();
    if ((!present.empty() && present.contains(text)) || !added.insert(address.Key()).second) continue;
    table.AppendRow(ServerRow::Blank(std::move(text)));
  }
  return added.size();
}

}  // namespace vantrix

#include "core/master/MasterRows.h"

#include <string>
#include <unordered_set>

#include "core/table/TableUpdateBracket.h"

namespace vantrix {

std::size_t AppendMasterRows(ServerTable& table, const std::vector<MasterAddress>& addresses) {
  if (addresses.empty()) return 0;
  // One set for the whole batch: the table's own lookup is rebuilt after every append.
  std::unordered_set<std::string> present;
  present.reserve(static_cast<std::size_t>(table.Count()) + addresses.size());
  for (const ServerRow& row : table.Rows()) present.insert(row.address);
  TableUpdateBracket bracket(table);
  std::size_t added = 0;
  for (const MasterAddress& address : addresses) {
    std::string text = address.Text();
    if (!present.insert(text).second) continue;
    table.AppendRow(ServerRow::Blank(std::move(text)));
    ++added;
  }
  return added;
}

}  // namespace vantrix

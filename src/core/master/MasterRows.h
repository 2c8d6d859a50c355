#pragma once

#include <cstddef>
#include <vector>

#include "core/master/MasterAddress.h"
#include "core/table/ServerTable.h"

namespace vantrix {

// Appends one row per address whose text is not already an address cell of the table, at
// the end, in the given order, with nine blank cells, inside one update bracket. Returns
// the number of rows added.
std::size_t AppendMasterRows(ServerTable& table, const std::vector<MasterAddress>& addresses);

}  // namespace vantrix

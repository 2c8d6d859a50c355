#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/table/ServerRow.h"
#include "core/table/ServerTable.h"

namespace vantrix {

// Byte-wise comparison after mapping only ASCII a-z to A-Z: <0, 0 or >0.
int CompareText(std::string_view a, std::string_view b);

// A header click on column 0..9: column 3 ("Ping") runs PingSort, any other column
// updates the sort state (same column reverses, another starts ascending) and sorts.
void ColumnClick(ServerTable& table, int column);

// Sorts all rows by the current sort state; the selection stays with its row.
void SortByColumn(ServerTable& table);

// A Ping cell as a decimal 32-bit integer, or nullopt when it is not a number.
std::optional<std::int32_t> ParsePing(std::string_view cell);

// The result of the (n-1) x (n-1) exchange sort by ping, computed in O(n log n).
void PingSort(ServerTable& table);

// Blanks cells 0-3 and 5-8 of one row / of every row (one update bracket).
void ClearServerInfo(ServerTable& table, int position);
void ClearAllServersInfo(ServerTable& table);

// The single sweep's result, computed without the quadratic sweep.
void RemoveDuplicates(ServerTable& table);

// Deletes rows whose W cell is "-" or " ".
void RemoveBadServers(ServerTable& table);

// Appends the rows of a pasted text (see the paste rules); returns how many were added.
int PasteText(ServerTable& table, std::string_view text);

// Panel 0's text for a selection change: position + 1, "/", count.
std::string SelectionCounterText(int position, int count);

}  // namespace vantrix

#pragma once

// Slow, literal versions of the table commands that have fast forms in core. They work
// on a plain copy of the rows (identities included) so the differential tests can
// compare both results row by row.

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/table/ServerRow.h"
#include "core/table/TableCommands.h"

namespace vantrix::reference {

// The list's sort comparison by a sort column (0..9) and direction (1 or -1).
inline int CompareRows(const ServerRow& r1, const ServerRow& r2, int sortColumn, int sortDirection) {
  if (sortColumn < 0 || sortColumn >= kColumnCount) throw std::out_of_range("column index out of range");
  if (sortColumn == 0) return CompareText(r1.address, r2.address) * sortDirection;
  const auto cell = static_cast<size_t>(sortColumn - 1);
  return CompareText(r1.cells[cell], r2.cells[cell]) * sortDirection;
}

// n - 1 passes of adjacent exchanges by ping; a pair stays when either cell is blank
// or not a number.
inline void PingExchangeSort(std::vector<ServerRow>& rows) {
  const int n = static_cast<int>(rows.size());
  if (n < 2) return;
  for (int pass = 0; pass < n - 1; ++pass) {
    for (int j = 0; j <= n - 2; ++j) {
      const CellText& upper = rows[static_cast<size_t>(j)].cells[kPingCell];
      const CellText& lower = rows[static_cast<size_t>(j) + 1].cells[kPingCell];
      if (upper == kBlank || lower == kBlank) continue;
      const auto a = ParsePing(upper);
      const auto b = ParsePing(lower);
      if (!a || !b) continue;
      if (*a > *b) std::swap(rows[static_cast<size_t>(j)], rows[static_cast<size_t>(j) + 1]);
    }
  }
}

// The single sweep: position i is compared with every other position j of the pass,
// and the row at i is deleted on each match while the pass goes on.
inline void DuplicateSweep(std::vector<ServerRow>& rows) {
  auto count = [&] { return static_cast<int>(rows.size()); };
  const int n = count();
  for (int i = 0; i < n; ++i) {
    const int m = count();
    for (int j = 0; j < m; ++j) {
      if (j == i) continue;
      if (i >= count() || j >= count()) continue;
      if (rows[static_cast<size_t>(i)].address == rows[static_cast<size_t>(j)].address)
        rows.erase(rows.begin() + i);
    }
  }
}

// Insertion sort with the list's comparison: equal keys keep their order.
inline void StableColumnSort(std::vector<ServerRow>& rows, int sortColumn, int sortDirection) {
  for (size_t i = 1; i < rows.size(); ++i) {
    size_t j = i;
    while (j > 0 && CompareRows(rows[j], rows[j - 1], sortColumn, sortDirection) < 0) {
      std::swap(rows[j], rows[j - 1]);
      --j;
    }
  }
}

}  // namespace vantrix::reference

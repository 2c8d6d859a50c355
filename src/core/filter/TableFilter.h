#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/filter/RowFilter.h"
#include "core/table/ServerTable.h"

namespace vantrix {

// Which rows of a ServerTable a filter shows, kept current as the table changes: the shown
// positions in table order (4 bytes a shown row) and each row's signature (8 bytes a row).
// It never changes the table. The caller tells it about every change of the table, in the
// order the table reports them; `keep` names a row that stays shown whatever it holds (the
// selected row), or is -1.
class TableFilter {
 public:
  explicit TableFilter(const ServerTable& table) : m_table(table) {}

  bool Active() const { return m_filter.Active(); }
  const RowFilter& Filter() const { return m_filter; }

  // Sets the filter and works out the rows it shows. When it narrows the filter before,
  // only the rows shown so far are looked at.
  void SetFilter(RowFilter filter, int keep);
  // The table may differ in every row (sorted, loaded, cleared in a bracket).
  void Rebuild(int keep);

  // Rows shown: every row of the table while the filter is not active.
  int ShownCount() const;
  // Table position of the shown row `row` (0-based), or -1 when there is none.
  int PositionAt(int row) const;
  // Shown row of the table position, or -1 when it is hidden.
  int RowOf(int position) const;
  // The shown row a row at `position` takes when it is shown.
  int InsertionRow(int position) const;
  bool IsShown(int position) const { return RowOf(position) >= 0; }

  // Whether the row at `position` passes (its cells as they are now).
  bool Passes(int position) const;

  // Rows [first, last] were inserted into the table; none of them is shown yet.
  void RowsInserted(int first, int last);
  // Rows [first, last] were removed from the table: drops them and returns the shown rows
  // they had, [firstRow, endRow).
  struct RowRange {
    int first;
    int end;
  };
  RowRange RowsRemoved(int first, int last);
  // A cell of the row changed (column 0 is the address).
  void CellChanged(int position, int column);
  // Shows the row at `position` at InsertionRow(position), or hides it.
  void Show(int position);
  void Hide(int position);

  // Bytes held for the rows (the benchmark's memory figure).
  std::size_t MemoryBytes() const;

 private:
  void EnsureSignatures();
  std::vector<int> Scan(const std::vector<int>* candidates, int keep) const;

  const ServerTable& m_table;
  RowFilter m_filter;
  std::vector<int> m_shown;  // table positions, ascending; used only while active
  std::vector<std::uint64_t> m_signatures;
  bool m_signaturesValid = false;
};

}  // namespace vantrix

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/table/PositionIndex.h"
#include "core/table/ServerRow.h"
#include "core/table/TableObserver.h"

namespace vantrix {

// The program's only store of server data: rows in display order, the selection,
// the sort state and the update brackets. Positions are 0-based.
class ServerTable {
 public:
  ServerTable() = default;
  ServerTable(const ServerTable&) = delete;
  ServerTable& operator=(const ServerTable&) = delete;

  void SetObserver(TableObserver* observer) { m_observer = observer; }

  int Count() const { return static_cast<int>(m_rows.size()); }
  bool IsValid(int position) const { return position >= 0 && position < Count(); }
  const ServerRow& Row(int position) const { return m_rows.at(static_cast<size_t>(position)); }
  const std::vector<ServerRow>& Rows() const { return m_rows; }
  std::string_view Address(int position) const { return Row(position).address; }
  std::string_view Cell(int position, int cell) const;

  void SetCell(int position, int cell, std::string_view text);
  void SetAddress(int position, std::string_view text);

  // Adds a row at the end; returns its position. The row gets a fresh identity.
  int AppendRow(ServerRow row);
  int AppendRow(std::string_view address) { return AppendRow(ServerRow::Blank(address)); }
  void DeleteRow(int position);
  void Clear();

  // Bulk forms used by the table commands; both keep identities and the selection.
  // order[i] is the old position of the row that goes to position i (a permutation).
  void ReorderRows(const std::vector<int>& order);
  // Removes the rows whose flag is set (flags.size() == Count()).
  void RemoveRows(const std::vector<bool>& remove);

  // Last row whose address cell equals the text exactly, or nullopt.
  std::optional<int> FindRowByAddress(std::string_view address) const;

  // Stable identities.
  RowId IdOf(int position) const { return Row(position).id; }
  std::optional<int> PositionOf(RowId id) const;

  // Selection: position or -1.
  int SelectedIndex() const;
  void SetSelectedIndex(int position);

  // Sort state of the column sort.
  int SortColumn() const { return m_sortColumn; }
  int SortDirection() const { return m_sortDirection; }
  void SetSortState(int column, int direction) {
    m_sortColumn = column;
    m_sortDirection = direction;
  }

  void BeginUpdate() { ++m_updateDepth; }
  void EndUpdate();
  bool InUpdate() const { return m_updateDepth > 0; }

 private:
  void StructureChanged();
  void NotifyInserted(int first, int last);
  void NotifyRemoved(int first, int last);
  void NotifyCell(int row, int column);
  void NotifyReset();
  void NotifySelection();
  void RebuildIdIndex() const;
  void RebuildAddressIndex() const;

  std::vector<ServerRow> m_rows;
  RowId m_nextId = 1;
  RowId m_selected = kNoRow;
  int m_sortColumn = -1;
  int m_sortDirection = 1;
  int m_updateDepth = 0;
  bool m_changedInUpdate = false;
  TableObserver* m_observer = nullptr;

  // Lookups rebuilt lazily after changes.
  mutable PositionIndex m_idIndex;
  mutable PositionIndex m_addressIndex;
};

}  // namespace vantrix

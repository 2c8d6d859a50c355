#include "core/table/ServerTable.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace vantrix {

namespace {

std::size_t IdHash(RowId id) {
  return std::hash<RowId>{}(id);
}

std::size_t AddressHash(std::string_view address) {
  return std::hash<std::string_view>{}(address);
}

auto SameId(const std::vector<ServerRow>& rows) {
  return [&rows](std::size_t a, std::size_t b) { return rows[a].id == rows[b].id; };
}

void CheckCellIndex(int cell) {
  if (cell < 0 || cell >= kCellCount) throw std::out_of_range("cell index out of range");
}

}  // namespace

std::string_view ServerTable::Cell(int position, int cell) const {
  CheckCellIndex(cell);
  return Row(position).cells[static_cast<size_t>(cell)];
}

void ServerTable::SetCell(int position, int cell, std::string_view text) {
  CheckCellIndex(cell);
  m_rows.at(static_cast<size_t>(position)).cells[static_cast<size_t>(cell)] = text;
  NotifyCell(position, cell + 1);
}

void ServerTable::SetAddress(int position, std::string_view text) {
  m_rows.at(static_cast<size_t>(position)).address = text;
  m_addressIndex.Invalidate();
  NotifyCell(position, 0);
}

int ServerTable::AppendRow(ServerRow row) {
  row.id = m_nextId++;
  m_rows.push_back(std::move(row));
  const int position = Count() - 1;
  // Appending keeps every other position, so the id index can be extended in place.
  if (m_idIndex.Valid()) m_idIndex.Add(position, IdHash(m_rows.back().id), SameId(m_rows));
  m_addressIndex.Invalidate();
  NotifyInserted(position, position);
  return position;
}

void ServerTable::DeleteRow(int position) {
  if (!IsValid(position)) throw std::out_of_range("row position out of range");
  const bool wasSelected = m_rows[static_cast<size_t>(position)].id == m_selected;
  m_rows.erase(m_rows.begin() + position);
  StructureChanged();
  if (wasSelected) m_selected = kNoRow;
  NotifyRemoved(position, position);
  if (wasSelected) NotifySelection();
}

void ServerTable::Clear() {
  if (m_rows.empty()) return;
  const int last = Count() - 1;
  const bool hadSelection = m_selected != kNoRow;
  m_rows.clear();
  m_selected = kNoRow;
  StructureChanged();
  NotifyRemoved(0, last);
  if (hadSelection) NotifySelection();
}

void ServerTable::ReorderRows(const std::vector<int>& order) {
  if (order.size() != m_rows.size()) throw std::invalid_argument("reorder needs a full permutation");
  // The whole order is checked before any row moves, so a bad one leaves the table as it was.
  std::vector<bool> taken(m_rows.size(), false);
  for (int from : order) {
    if (from < 0 || from >= Count() || taken[static_cast<size_t>(from)])
      throw std::invalid_argument("reorder needs a full permutation");
    taken[static_cast<size_t>(from)] = true;
  }
  std::vector<ServerRow> reordered;
  reordered.reserve(m_rows.size());
  for (int from : order) reordered.push_back(std::move(m_rows[static_cast<size_t>(from)]));
  m_rows = std::move(reordered);
  StructureChanged();
  NotifyReset();
}

void ServerTable::RemoveRows(const std::vector<bool>& remove) {
  if (remove.size() != m_rows.size()) throw std::invalid_argument("remove needs one flag per row");
  // Nothing to remove leaves the rows where they are, untouched.
  if (std::find(remove.begin(), remove.end(), true) == remove.end()) return;
  std::vector<ServerRow> kept;
  kept.reserve(m_rows.size());
  bool selectionRemoved = false;
  for (size_t i = 0; i < m_rows.size(); ++i) {
    if (remove[i]) {
      if (m_rows[i].id == m_selected) selectionRemoved = true;
    } else {
      kept.push_back(std::move(m_rows[i]));
    }
  }
  m_rows = std::move(kept);
  if (selectionRemoved) m_selected = kNoRow;
  StructureChanged();
  NotifyReset();
  if (selectionRemoved) NotifySelection();
}

std::optional<int> ServerTable::FindRowByAddress(std::string_view address) const {
  if (!m_addressIndex.Valid()) RebuildAddressIndex();
  return m_addressIndex.Find(AddressHash(address),
                             [&](std::size_t position) { return m_rows[position].address == address; });
}

std::optional<int> ServerTable::PositionOf(RowId id) const {
  if (id == kNoRow) return std::nullopt;
  if (!m_idIndex.Valid()) RebuildIdIndex();
  return m_idIndex.Find(IdHash(id), [&](std::size_t position) { return m_rows[position].id == id; });
}

int ServerTable::SelectedIndex() const {
  auto position = PositionOf(m_selected);
  return position ? *position : -1;
}

void ServerTable::SetSelectedIndex(int position) {
  const RowId id = IsValid(position) ? IdOf(position) : kNoRow;
  if (id == m_selected) return;
  m_selected = id;
  NotifySelection();
}

void ServerTable::EndUpdate() {
  if (m_updateDepth == 0) return;
  if (--m_updateDepth == 0 && m_changedInUpdate) {
    m_changedInUpdate = false;
    if (m_observer) m_observer->Reset();
  }
}

void ServerTable::StructureChanged() {
  m_idIndex.Invalidate();
  m_addressIndex.Invalidate();
}

void ServerTable::NotifyInserted(int first, int last) {
  if (InUpdate()) {
    m_changedInUpdate = true;
  } else if (m_observer) {
    m_observer->RowsInserted(first, last);
  }
}

void ServerTable::NotifyRemoved(int first, int last) {
  if (InUpdate()) {
    m_changedInUpdate = true;
  } else if (m_observer) {
    m_observer->RowsRemoved(first, last);
  }
}

void ServerTable::NotifyCell(int row, int column) {
  if (InUpdate()) {
    m_changedInUpdate = true;
  } else if (m_observer) {
    m_observer->CellChanged(row, column);
  }
}

void ServerTable::NotifyReset() {
  if (InUpdate()) {
    m_changedInUpdate = true;
  } else if (m_observer) {
    m_observer->Reset();
  }
}

void ServerTable::NotifySelection() {
  if (m_observer) m_observer->SelectionChanged();
}

void ServerTable::RebuildIdIndex() const {
  m_idIndex.Rebuild(
      m_rows.size(), [&](std::size_t position) { return IdHash(m_rows[position].id); }, SameId(m_rows));
}

void ServerTable::RebuildAddressIndex() const {
  // Later rows replace earlier ones: the last matching row wins, as the scan does.
  m_addressIndex.Rebuild(
      m_rows.size(), [&](std::size_t position) { return AddressHash(m_rows[position].address); },
      [&](std::size_t a, std::size_t b) { return m_rows[a].address == m_rows[b].address; });
}

}  // namespace vantrix

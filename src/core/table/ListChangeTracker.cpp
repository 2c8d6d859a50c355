#include "core/table/ListChangeTracker.h"

namespace vantrix {

ListChangeTracker::ListChangeTracker(ServerTable& table, TableObserver* next) : m_table(table), m_next(next) {
  m_table.SetObserver(this);
}

ListChangeTracker::~ListChangeTracker() {
  m_table.SetObserver(m_next);
}

void ListChangeTracker::RowsInserted(int first, int last) {
  Note();
  if (m_next) m_next->RowsInserted(first, last);
}

void ListChangeTracker::RowsRemoved(int first, int last) {
  Note();
  if (m_next) m_next->RowsRemoved(first, last);
}

void ListChangeTracker::CellChanged(int row, int column) {
  Note();
  if (m_next) m_next->CellChanged(row, column);
}

void ListChangeTracker::Reset() {
  // Sent for moved rows and for a closed update bracket that changed something.
  Note();
  if (m_next) m_next->Reset();
}

void ListChangeTracker::SelectionChanged() {
  if (m_next) m_next->SelectionChanged();
}

}  // namespace vantrix

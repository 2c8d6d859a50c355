#pragma once

#include "core/table/ServerTable.h"
#include "core/table/TableObserver.h"

namespace vantrix {

// Whether the list differs from what was last opened, saved or started with. It stands
// between the table and the table's observer (the view's model), passes every report on
// and takes any change of rows or cells as a change of the list; a new selection is none.
// Cheap: one flag, no copy of the rows.
class ListChangeTracker final : public TableObserver {
 public:
  // Becomes the table's observer in place of `next`, which keeps getting every report.
  ListChangeTracker(ServerTable& table, TableObserver* next);
  // Gives the table back to `next`.
  ~ListChangeTracker() override;
  ListChangeTracker(const ListChangeTracker&) = delete;
  ListChangeTracker& operator=(const ListChangeTracker&) = delete;

  bool Changed() const { return m_changed; }
  void MarkChanged() { m_changed = true; }
  // The list is now what a file holds: opened, saved, or loaded at start.
  void MarkUnchanged() { m_changed = false; }

  // While one lives, changes of the table do not count: for cells that an automatic refresh
  // writes, which are no edit of the user's. Scopes nest. An update bracket reports its
  // changes when it closes, so the scope has to outlive the bracket.
  class QuietScope {
   public:
    explicit QuietScope(ListChangeTracker& tracker) : m_tracker(tracker) { ++m_tracker.m_quiet; }
    ~QuietScope() { --m_tracker.m_quiet; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

   private:
    ListChangeTracker& m_tracker;
  };

  void RowsInserted(int first, int last) override;
  void RowsRemoved(int first, int last) override;
  void CellChanged(int row, int column) override;
  void Reset() override;
  void SelectionChanged() override;

 private:
  void Note() {
    if (m_quiet == 0) m_changed = true;
  }

  ServerTable& m_table;
  TableObserver* m_next;
  bool m_changed = false;
  int m_quiet = 0;
};

}  // namespace vantrix

#pragma once

namespace vantrix {

// Told about every change of a ServerTable. Inside an update bracket nothing is told
// until the outermost bracket closes, which then reports one Reset().
class TableObserver {
 public:
  virtual ~TableObserver() = default;
  virtual void RowsInserted(int first, int last) = 0;
  virtual void RowsRemoved(int first, int last) = 0;
  // column 0 is the address cell, 1..9 the cells 0..8
  virtual void CellChanged(int row, int column) = 0;
  // Rows moved, were replaced wholesale, or a bracket closed: everything may differ.
  virtual void Reset() = 0;
  virtual void SelectionChanged() {}
};

}  // namespace vantrix

#pragma once

#include "core/table/ServerTable.h"

namespace vantrix {

// Holds a ServerTable inside begin update / end update for its lifetime, so the bracket is
// closed however the work inside it ends (also by an exception).
class TableUpdateBracket {
 public:
  explicit TableUpdateBracket(ServerTable& table) : m_table(table) { m_table.BeginUpdate(); }
  ~TableUpdateBracket() { m_table.EndUpdate(); }
  TableUpdateBracket(const TableUpdateBracket&) = delete;
  TableUpdateBracket& operator=(const TableUpdateBracket&) = delete;

 private:
  ServerTable& m_table;
};

}  // namespace vantrix

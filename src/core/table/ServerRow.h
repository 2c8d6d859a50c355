#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/table/CompactText.h"

namespace vantrix {

// Cells under the columns "Server name" .. "P"; column index = cell index + 1.
inline constexpr int kCellCount = 9;
// The address column and the cells' columns.
inline constexpr int kColumnCount = kCellCount + 1;
enum CellIndex : int {
  kNameCell = 0,
  kMapCell = 1,
  kPingCell = 2,
  kPlayersCell = 3,
  kCommentCell = 4,
  kWCell = 5,
  kDCell = 6,
  kSCell = 7,
  kPCell = 8,
};

// A blank cell holds one space; an empty cell ("") is not blank.
inline constexpr const char* kBlank = " ";

// Identity of a row that survives sorts and the insertion or deletion of other rows.
using RowId = std::uint64_t;
inline constexpr RowId kNoRow = 0;

// A cell's text: 16 bytes, up to 15 of them inline.
using CellText = CompactText<16>;
// The address cell's text: 24 bytes, so that a dotted address with its port (at most 21
// bytes) needs no heap allocation.
using AddressText = CompactText<24>;

// One server: the address cell (column 0) and nine text cells, all raw bytes.
struct ServerRow {
  AddressText address;
  std::array<CellText, kCellCount> cells;
  RowId id = kNoRow;  // assigned by the table on insertion

  static ServerRow Blank(std::string_view address) {
    ServerRow row;
    row.address = address;
    row.cells.fill(kBlank);
    return row;
  }
  static ServerRow Empty(std::string_view address) {
    ServerRow row;
    row.address = address;
    return row;
  }
};

}  // namespace vantrix

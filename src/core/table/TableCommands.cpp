#include "core/table/TableCommands.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "core/table/TableUpdateBracket.h"
#include "core/util/AsciiCase.h"
#include "core/util/StrToInt.h"

namespace vantrix {

namespace {

constexpr int kPingColumn = kPingCell + 1;

unsigned char FoldAscii(char c) {
  return static_cast<unsigned char>(AsciiUpper(c));
}

void CheckColumn(int column) {
  if (column < 0 || column >= kColumnCount) throw std::out_of_range("column index out of range");
}

bool IsIdentity(const std::vector<int>& order) {
  for (size_t i = 0; i < order.size(); ++i) {
    if (order[i] != static_cast<int>(i)) return false;
  }
  return true;
}

void ApplyOrder(ServerTable& table, const std::vector<int>& order) {
  // A sort that moves nothing should not make the view redraw everything.
  if (!IsIdentity(order)) table.ReorderRows(order);
}

void BlankQueryResults(ServerTable& table, int position) {
  for (int cell = 0; cell < kCellCount; ++cell) {
    if (cell != kCommentCell) table.SetCell(position, cell, kBlank);
  }
}

// Every row's key for one column, case-folded once into a single buffer. Folded keys
// compared as std::string_view (unsigned bytes, shorter prefix first) order exactly as
// CompareText orders the originals, without touching the rows during the sort.
class SortKeys {
 public:
  struct Item {
    std::string_view key;
    int position;
  };

  SortKeys(const std::vector<ServerRow>& rows, int column) {
    m_ends.reserve(rows.size());
    for (const ServerRow& row : rows) {
      const std::string_view key =
          column == 0 ? row.address.View() : row.cells[static_cast<size_t>(column - 1)].View();
      for (char c : key) m_folded.push_back(static_cast<char>(FoldAscii(c)));
      m_ends.push_back(m_folded.size());
    }
  }

  std::vector<Item> Items() const {
    std::vector<Item> items;
    items.reserve(m_ends.size());
    size_t begin = 0;
    for (size_t i = 0; i < m_ends.size(); ++i) {
      items.push_back({std::string_view(m_folded).substr(begin, m_ends[i] - begin), static_cast<int>(i)});
      begin = m_ends[i];
    }
    return items;
  }

 private:
  std::string m_folded;
  std::vector<size_t> m_ends;
};

// Dense ids for the distinct address texts, in order of first appearance.
std::vector<int> AddressIds(const std::vector<ServerRow>& rows, int& distinct) {
  std::unordered_map<std::string_view, int> ids;
  ids.reserve(rows.size());
  std::vector<int> result;
  result.reserve(rows.size());
  for (const ServerRow& row : rows) {
    result.push_back(ids.try_emplace(row.address, static_cast<int>(ids.size())).first->second);
  }
  distinct = static_cast<int>(ids.size());
  return result;
}

// Positions of each address id, ascending, stored contiguously per id.
struct PositionLists {
  std::vector<int> start;      // start[id] .. start[id + 1] is the id's slice of `positions`
  std::vector<int> positions;  // row positions, ascending within each slice

  PositionLists(const std::vector<int>& ids, int distinct)
      : start(static_cast<size_t>(distinct) + 1, 0), positions(ids.size()) {
    for (int id : ids) ++start[static_cast<size_t>(id) + 1];
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (size_t i = 0; i < ids.size(); ++i)
      positions[static_cast<size_t>(fill[ids[i]]++)] = static_cast<int>(i);
  }

  // First position >= from that holds the id, or -1.
  int NextAtOrAfter(int id, int from) const {
    auto first = positions.begin() + start[static_cast<size_t>(id)];
    auto last = positions.begin() + start[static_cast<size_t>(id) + 1];
    auto it = std::lower_bound(first, last, from);
    return it == last ? -1 : *it;
  }
};

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char x = FoldAscii(a[i]);
    const unsigned char y = FoldAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void ColumnClick(ServerTable& table, int column) {
  CheckColumn(column);
  if (column == kPingColumn) {
    PingSort(table);
    return;
  }
  if (column == table.SortColumn()) {
    table.SetSortState(column, -table.SortDirection());
  } else {
    table.SetSortState(column, 1);
  }
  SortByColumn(table);
}

void SortByColumn(ServerTable& table) {
  const int column = table.SortColumn();
  if (column < 0) return;  // no header has been clicked yet
  CheckColumn(column);
  const SortKeys keys(table.Rows(), column);
  std::vector<SortKeys::Item> items = keys.Items();
  if (table.SortDirection() < 0) {
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return b.key < a.key; });
  } else {
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
  }
  std::vector<int> order;
  order.reserve(items.size());
  for (const auto& item : items) order.push_back(item.position);
  ApplyOrder(table, order);
}

// The whole cell must be an optional sign followed by decimal digits, within 32 bits.
// A leading "+" is accepted, as common integer parsers do; whitespace anywhere is not:
// the program writes pings without padding, the blank cell " " must never count as a
// number, and accepting " 7" but not "7 " would be arbitrary. Hex forms are rejected
// because pings are decimal.
std::optional<std::int32_t> ParsePing(std::string_view cell) {
  return TryStrToInt(cell);
}

// Adjacent exchanges never move a row past one whose ping is not a number, and n - 1
// passes of them fully sort every stretch between such rows while keeping equal pings
// in order. A stable sort of each stretch therefore gives the same rows in O(n log n).
void PingSort(ServerTable& table) {
  const int n = table.Count();
  if (n < 2) return;
  std::vector<std::optional<std::int32_t>> pings;
  pings.reserve(static_cast<size_t>(n));
  for (const ServerRow& row : table.Rows()) {
    pings.push_back(ParsePing(row.cells[kPingCell]));  // a blank cell never parses
  }
  std::vector<int> order(static_cast<size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  auto byPing = [&](int a, int b) { return *pings[static_cast<size_t>(a)] < *pings[static_cast<size_t>(b)]; };
  int first = 0;
  while (first < n) {
    if (!pings[static_cast<size_t>(first)]) {
      ++first;
      continue;
    }
    int last = first;
    while (last < n && pings[static_cast<size_t>(last)]) ++last;
    std::stable_sort(order.begin() + first, order.begin() + last, byPing);
    first = last;
  }
  ApplyOrder(table, order);
}

void ClearServerInfo(ServerTable& table, int position) {
  if (!table.IsValid(position)) return;
  BlankQueryResults(table, position);
}

void ClearAllServersInfo(ServerTable& table) {
  TableUpdateBracket bracket(table);
  for (int position = 0; position < table.Count(); ++position) BlankQueryResults(table, position);
}

// The sweep examines position i against every other position and deletes the row at i
// on each match. Two facts make it cheap to replay:
//  - Deletions in pass i happen only at position i, so positions below i are final,
//    and the rows deleted in a pass are the consecutive rows that moved up into i.
//    Hence the rows below the examined position are always an untouched tail of the
//    original rows, starting at some cursor s; the ones above form a growing prefix.
//  - Against the prefix, the candidate at i meets the prefix rows in order; against
//    the tail, the candidate c is compared with original row c + k for k = 1, 2, ...,
//    and a deletion moves the candidate to c + 1 while k still grows by one, so the
//    compared row jumps by two.
// Each step then asks for the next occurrence of an address after some position, which
// the per-address position lists answer by binary search; every answer either deletes
// a row or ends the pass, so the whole replay is O(n log n).
void RemoveDuplicates(ServerTable& table) {
  TableUpdateBracket bracket(table);
  const std::vector<ServerRow>& rows = table.Rows();
  const int n = static_cast<int>(rows.size());
  if (n < 2) return;
  int distinct = 0;
  const std::vector<int> ids = AddressIds(rows, distinct);
  if (distinct == n) return;
  const PositionLists tail(ids, distinct);
  // Prefix positions of each address, appended in increasing order as rows settle.
  std::vector<std::vector<int>> prefixPositions(static_cast<size_t>(distinct));
  std::vector<bool> remove(static_cast<size_t>(n), true);
  int settled = 0;  // size of the prefix
  int cursor = 0;   // first original row of the untouched tail
  while (cursor < n) {
    int candidate = cursor;
    // Against the prefix, in position order.
    int from = 0;
    while (candidate < n) {
      const std::vector<int>& seen =
          prefixPositions[static_cast<size_t>(ids[static_cast<size_t>(candidate)])];
      auto it = std::lower_bound(seen.begin(), seen.end(), from);
      if (it == seen.end()) break;
      from = *it + 1;
      ++candidate;
    }
    if (candidate >= n) break;
    // Against the tail below it.
    int compared = candidate + 1;
    while (compared < n) {
      const int match = tail.NextAtOrAfter(ids[static_cast<size_t>(candidate)], compared);
      if (match < 0) break;
      ++candidate;
      compared = match + 2;
    }
    remove[static_cast<size_t>(candidate)] = false;
    prefixPositions[static_cast<size_t>(ids[static_cast<size_t>(candidate)])].push_back(settled);
    ++settled;
    cursor = candidate + 1;
  }
  table.RemoveRows(remove);
}

void RemoveBadServers(ServerTable& table) {
  TableUpdateBracket bracket(table);
  std::vector<bool> remove;
  remove.reserve(table.Rows().size());
  for (const ServerRow& row : table.Rows()) {
    const CellText& w = row.cells[kWCell];
    remove.push_back(w == "-" || w == kBlank);
  }
  table.RemoveRows(remove);
}

// The clipboard here ends lines with LF; a CR just before it belongs to the line end,
// a CR anywhere else stays in the text.
int PasteText(ServerTable& table, std::string_view text) {
  if (text.find('\n') == std::string_view::npos) {
    table.AppendRow(ServerRow::Empty(std::string(text)));
    return 1;
  }
  TableUpdateBracket bracket(table);
  int added = 0;
  size_t lineEnd = 0;
  while ((lineEnd = text.find('\n')) != std::string_view::npos) {
    std::string_view line = text.substr(0, lineEnd);
    text.remove_prefix(lineEnd + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t bar = line.find('|');
    if (bar == std::string_view::npos) {
      table.AppendRow(ServerRow::Blank(std::string(line)));
    } else {
      ServerRow row = ServerRow::Blank(std::string(line.substr(0, bar)));
      row.cells[kCommentCell] = std::string(line.substr(bar + 1));
      table.AppendRow(std::move(row));
    }
    ++added;
  }
  return added;
}

std::string SelectionCounterText(int position, int count) {
  return std::to_string(position + 1) + "/" + std::to_string(count);
}

}  // namespace vantrix

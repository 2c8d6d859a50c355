#include "core/filter/TableFilter.h"

#include <algorithm>

namespace vantrix {

void TableFilter::EnsureSignatures() {
  if (m_signaturesValid) return;
  const auto& rows = m_table.Rows();
  // A fresh vector of the exact size: no slack left over from a larger table.
  std::vector<std::uint64_t> signatures;
  signatures.reserve(rows.size());
  for (const ServerRow& row : rows) signatures.push_back(RowFilter::RowSignature(row));
  m_signatures = std::move(signatures);
  m_signaturesValid = true;
}

namespace {

// How far ahead the scan asks for rows: a row's cells, then its name's bytes (the one cell
// long enough to live outside the row), so that they arrive before they are read.
constexpr std::size_t kRowsAhead = 16;
constexpr std::size_t kNamesAhead = 8;

void Prefetch(const std::vector<ServerRow>& rows, std::size_t rowAhead, std::size_t nameAhead) {
  if (rowAhead < rows.size()) {
    const char* row = reinterpret_cast<const char*>(&rows[rowAhead]);
    __builtin_prefetch(row);
    __builtin_prefetch(row + 64);
    __builtin_prefetch(row + 128);
  }
  if (nameAhead < rows.size()) __builtin_prefetch(rows[nameAhead].cells[kNameCell].data());
}

}  // namespace

std::vector<int> TableFilter::Scan(const std::vector<int>* candidates, int keep) const {
  const auto& rows = m_table.Rows();
  std::vector<int> shown;
  const auto consider = [&](int position) {
    const auto at = static_cast<std::size_t>(position);
    if (position == keep || m_filter.Matches(rows[at], m_signatures[at])) shown.push_back(position);
  };
  if (candidates) {
    shown.reserve(candidates->size());
    const std::size_t count = candidates->size();
    const auto ahead = [&](std::size_t i) {
      return i < count ? static_cast<std::size_t>((*candidates)[i]) : rows.size();
    };
    // The kept row may have been hidden before; it goes in at its place.
    bool keepDone = keep < 0 || !m_table.IsValid(keep);
    for (std::size_t i = 0; i < count; ++i) {
      Prefetch(rows, ahead(i + kRowsAhead), ahead(i + kNamesAhead));
      const int position = (*candidates)[i];
      if (!keepDone && keep < position) {
        shown.push_back(keep);
        keepDone = true;
      }
      if (position == keep) keepDone = true;
      consider(position);
    }
    if (!keepDone) shown.push_back(keep);
  } else {
    for (int position = 0; position < m_table.Count(); ++position) {
      const auto at = static_cast<std::size_t>(position);
      Prefetch(rows, at + kRowsAhead, at + kNamesAhead);
      consider(position);
    }
  }
  // Slack beyond half is given back; less is not worth a copy on every keystroke.
  if (shown.capacity() > 2 * shown.size()) shown.shrink_to_fit();
  return shown;
}

void TableFilter::SetFilter(RowFilter filter, int keep) {
  const bool narrowing = Active() && filter.Narrows(m_filter);
  m_filter = std::move(filter);
  if (!Active()) {
    // Off: every row shows, and the positions are given back.
    std::vector<int>().swap(m_shown);
    return;
  }
  EnsureSignatures();
  if (narrowing) {
    m_shown = Scan(&m_shown, keep);
  } else {
    m_shown = Scan(nullptr, keep);
  }
}

void TableFilter::Rebuild(int keep) {
  m_signaturesValid = false;
  if (!Active()) {
    std::vector<std::uint64_t>().swap(m_signatures);
    return;
  }
  EnsureSignatures();
  m_shown = Scan(nullptr, keep);
}

int TableFilter::ShownCount() const {
  return Active() ? static_cast<int>(m_shown.size()) : m_table.Count();
}

int TableFilter::PositionAt(int row) const {
  if (!Active()) return m_table.IsValid(row) ? row : -1;
  if (row < 0 || row >= static_cast<int>(m_shown.size())) return -1;
  return m_shown[static_cast<std::size_t>(row)];
}

int TableFilter::RowOf(int position) const {
  if (!Active()) return m_table.IsValid(position) ? position : -1;
  const auto it = std::lower_bound(m_shown.begin(), m_shown.end(), position);
  if (it == m_shown.end() || *it != position) return -1;
  return static_cast<int>(it - m_shown.begin());
}

int TableFilter::InsertionRow(int position) const {
  if (!Active()) return position;
  return static_cast<int>(std::lower_bound(m_shown.begin(), m_shown.end(), position) - m_shown.begin());
}

bool TableFilter::Passes(int position) const {
  if (!m_table.IsValid(position)) return false;
  if (!Active()) return true;
  const auto at = static_cast<std::size_t>(position);
  const std::uint64_t signature =
      m_signaturesValid ? m_signatures[at] : RowFilter::RowSignature(m_table.Rows()[at]);
  return m_filter.Matches(m_table.Rows()[at], signature);
}

void TableFilter::RowsInserted(int first, int last) {
  const int count = last - first + 1;
  if (m_signaturesValid) {
    const auto& rows = m_table.Rows();
    std::vector<std::uint64_t> added;
    added.reserve(static_cast<std::size_t>(count));
    for (int position = first; position <= last; ++position)
      added.push_back(RowFilter::RowSignature(rows[static_cast<std::size_t>(position)]));
    // Grown by a quarter at a time: doubling would leave up to 8 bytes a row unused.
    const std::size_t needed = m_signatures.size() + added.size();
    if (needed > m_signatures.capacity()) m_signatures.reserve(std::max(needed, m_signatures.size() * 5 / 4));
    m_signatures.insert(m_signatures.begin() + first, added.begin(), added.end());
  }
  const auto from = std::lower_bound(m_shown.begin(), m_shown.end(), first);
  for (auto it = from; it != m_shown.end(); ++it) *it += count;
}

TableFilter::RowRange TableFilter::RowsRemoved(int first, int last) {
  const int count = last - first + 1;
  if (m_signaturesValid && last < static_cast<int>(m_signatures.size()))
    m_signatures.erase(m_signatures.begin() + first, m_signatures.begin() + last + 1);
  else
    m_signaturesValid = false;
  const auto begin = std::lower_bound(m_shown.begin(), m_shown.end(), first);
  const auto end = std::lower_bound(begin, m_shown.end(), last + 1);
  const RowRange removed{static_cast<int>(begin - m_shown.begin()), static_cast<int>(end - m_shown.begin())};
  for (auto it = end; it != m_shown.end(); ++it) *it -= count;
  m_shown.erase(begin, end);
  return removed;
}

void TableFilter::CellChanged(int position, int column) {
  // Only the address, name, map and comment make up the signature.
  const bool searchable =
      column == 0 || column == kNameCell + 1 || column == kMapCell + 1 || column == kCommentCell + 1;
  if (!searchable || !m_signaturesValid || !m_table.IsValid(position)) return;
  m_signatures[static_cast<std::size_t>(position)] =
      RowFilter::RowSignature(m_table.Rows()[static_cast<std::size_t>(position)]);
}

void TableFilter::Show(int position) {
  if (!Active()) return;
  const auto it = std::lower_bound(m_shown.begin(), m_shown.end(), position);
  if (it == m_shown.end() || *it != position) m_shown.insert(it, position);
}

void TableFilter::Hide(int position) {
  if (!Active()) return;
  const auto it = std::lower_bound(m_shown.begin(), m_shown.end(), position);
  if (it != m_shown.end() && *it == position) m_shown.erase(it);
}

std::size_t TableFilter::MemoryBytes() const {
  return m_shown.capacity() * sizeof(int) + m_signatures.capacity() * sizeof(std::uint64_t);
}

}  // namespace vantrix

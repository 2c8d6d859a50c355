// Clipboard text pasted into the list, then the table commands on what was pasted. The input
// is the clipboard text.
// Invariants: a text without LF adds one row (the whole text, nine empty cells); otherwise each
// LF-ended line adds one row, split at the first "|", and the rest is dropped; rows already
// there stay. The ping sort and the duplicate removal on the pasted rows (their Comments as
// pings) give the rows of the literal slow versions of both commands.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/table/TableCommands.h"
#include "core/table/TableReference.h"

namespace {

using namespace vantrix;

constexpr std::string_view kKept = "10.0.0.9:27015";
// The slow versions take quadratic time; longer tables only get the paste checked.
constexpr int kMaxCompared = 200;

std::vector<ServerRow> ReferencePaste(std::string_view text) {
  std::vector<ServerRow> rows;
  if (text.find('\n') == std::string_view::npos) {
    rows.push_back(ServerRow::Empty(std::string(text)));
    return rows;
  }
  std::string line;
  for (const char c : text) {
    if (c != '\n') {
      line.push_back(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t bar = line.find('|');
    ServerRow row = ServerRow::Blank(line.substr(0, bar));
    if (bar != std::string::npos) row.cells[kCommentCell] = line.substr(bar + 1);
    rows.push_back(row);
    line.clear();
  }
  return rows;
}

bool SameRows(const std::vector<ServerRow>& a, const std::vector<ServerRow>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].id != b[i].id || a[i].address != b[i].address || a[i].cells != b[i].cells) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  ServerTable table;
  table.AppendRow(std::string(kKept));
  table.SetSelectedIndex(0);
  const RowId keptId = table.IdOf(0);

  const int added = PasteText(table, text);
  const std::vector<ServerRow> expected = ReferencePaste(text);
  VANTRIX_FUZZ_CHECK(added == static_cast<int>(expected.size()));
  VANTRIX_FUZZ_CHECK(table.Count() == added + 1);
  VANTRIX_FUZZ_CHECK(table.Address(0) == kKept && table.IdOf(0) == keptId);
  VANTRIX_FUZZ_CHECK(table.SelectedIndex() == 0);
  VANTRIX_FUZZ_CHECK(!table.InUpdate());
  for (int i = 0; i < added; ++i) {
    const ServerRow& row = table.Row(i + 1);
    VANTRIX_FUZZ_CHECK(row.address == expected[static_cast<std::size_t>(i)].address);
    VANTRIX_FUZZ_CHECK(row.cells == expected[static_cast<std::size_t>(i)].cells);
  }
  if (table.Count() > kMaxCompared) return 0;

  for (int i = 0; i < table.Count(); ++i) table.SetCell(i, kPingCell, table.Cell(i, kCommentCell));
  const int selected = table.Count() / 2;
  table.SetSelectedIndex(selected);
  const RowId selectedId = table.IdOf(selected);

  std::vector<ServerRow> sorted = table.Rows();
  reference::PingExchangeSort(sorted);
  PingSort(table);
  VANTRIX_FUZZ_CHECK(SameRows(table.Rows(), sorted));
  VANTRIX_FUZZ_CHECK(table.IdOf(table.SelectedIndex()) == selectedId);

  std::vector<ServerRow> unique = table.Rows();
  reference::DuplicateSweep(unique);
  RemoveDuplicates(table);
  VANTRIX_FUZZ_CHECK(SameRows(table.Rows(), unique));
  VANTRIX_FUZZ_CHECK(!table.InUpdate());
  return 0;
}

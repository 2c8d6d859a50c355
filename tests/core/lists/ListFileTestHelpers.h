#pragma once

#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/lists/FileDialogs.h"
#include "core/table/ServerTable.h"
#include "core/table/TableObserver.h"

namespace vantrix::test {

// A row as ten texts: address, then cells 0..8, for comparing whole tables at once.
using RowTexts = std::vector<std::string>;

inline RowTexts TextsOf(const ServerRow& row) {
  RowTexts texts{row.address.Str()};
  texts.insert(texts.end(), row.cells.begin(), row.cells.end());
  return texts;
}

inline std::vector<RowTexts> RowsOf(const ServerTable& table) {
  std::vector<RowTexts> rows;
  for (const ServerRow& row : table.Rows()) rows.push_back(TextsOf(row));
  return rows;
}

inline RowTexts BlankRowWith(std::string address, std::string comment = " ") {
  RowTexts row(10, " ");
  row[0] = std::move(address);
  row[1 + kCommentCell] = std::move(comment);
  return row;
}

inline void AppendTexts(ServerTable& table, const RowTexts& texts) {
  ServerRow row;
  row.address = texts.at(0);
  for (size_t i = 0; i < row.cells.size(); ++i) row.cells[i] = texts.at(i + 1);
  table.AppendRow(std::move(row));
}

// Random bytes of any value except the excluded ones; may be empty.
inline std::string RandomText(std::mt19937& rng, size_t maxLength, std::string_view excluded) {
  std::uniform_int_distribution<size_t> length(0, maxLength);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string text;
  const size_t n = length(rng);
  while (text.size() < n) {
    const char c = static_cast<char>(byte(rng));
    if (excluded.find(c) == std::string_view::npos) text.push_back(c);
  }
  return text;
}

// Answers the file dialogs from a script and records how each was shown.
class ScriptedChooser : public FileChooser {
 public:
  struct Shown {
    std::string dialog;
    int preselected;
  };

  void Answer(std::optional<FileChoice> choice) { m_answers.push_back(std::move(choice)); }

  std::optional<FileChoice> Choose(const FileDialogInfo& dialog, int preselectedFilter) override {
    shown.push_back({std::string(dialog.name), preselectedFilter});
    if (m_answers.empty()) return std::nullopt;
    std::optional<FileChoice> answer = m_answers.front();
    m_answers.pop_front();
    return answer;
  }

  std::vector<Shown> shown;

 private:
  std::deque<std::optional<FileChoice>> m_answers;
};

// Counts what the view would be told.
struct CountingObserver : TableObserver {
  int inserted = 0;
  int removed = 0;
  int cells = 0;
  int resets = 0;
  void RowsInserted(int, int) override { ++inserted; }
  void RowsRemoved(int, int) override { ++removed; }
  void CellChanged(int, int) override { ++cells; }
  void Reset() override { ++resets; }
};

}  // namespace vantrix::test

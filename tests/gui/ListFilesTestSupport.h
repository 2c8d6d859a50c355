#pragma once

// What the list-file window tests share: an Application whose file dialogs answer from a
// script, the rows as the list view shows them, and a change of working directory.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractItemModel>
#include <QAction>
#include <QLabel>
#include <QString>
#include <QTreeView>

#include "core/table/ServerRow.h"
#include "core/table/ServerTable.h"
#include "gui/GuiTestSupport.h"
#include "gui/ScriptedFileChooser.h"
#include "gui/Unit1.h"
#include "gui/model/ServerTableModel.h"
#include "gui/text/DisplayText.h"

namespace vantrix::test {

struct ScriptedApplication {
  RecordedApplication recorded;
  std::shared_ptr<ScriptedFileChooser::Script> script = std::make_shared<ScriptedFileChooser::Script>();

  explicit ScriptedApplication(std::vector<std::string> arguments = {}) : recorded(std::move(arguments)) {
    recorded.app->SetFileChooser(std::make_unique<ScriptedFileChooser>(script));
  }
  TForm1& Form() const { return recorded.app->Form1(); }
  ServerTable& Table() const { return Form().Table(); }
  const std::vector<std::string>& Errors() const { return *recorded.errors; }
  QString Message() const { return Form().StatusPanel(3)->text(); }
  // True when the menu entry exists and was triggered.
  bool Trigger(const char* name) const {
    QAction* action = Form().MenuAction(QString::fromLatin1(name));
    if (!action) return false;
    action->trigger();
    return true;
  }
};

// Every row as the list view's model hands it out: the address and the nine cells.
inline std::vector<QStringList> ViewRows(const TForm1& form) {
  const QAbstractItemModel* model = form.ListView1()->model();
  std::vector<QStringList> rows;
  for (int row = 0; row < model->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < kColumnCount; ++column)
      cells << model->data(model->index(row, column)).toString();
    rows.push_back(cells);
  }
  return rows;
}

// The rows of a table as the view should show them.
inline std::vector<QStringList> Shown(const ServerTable& table) {
  std::vector<QStringList> rows;
  for (const ServerRow& row : table.Rows()) {
    QStringList cells{ToDisplay(row.address)};
    for (const CellText& cell : row.cells) cells << ToDisplay(cell);
    rows.push_back(cells);
  }
  return rows;
}

inline ServerRow MakeRow(std::string address, std::string name, std::string players, std::string comment) {
  ServerRow row = ServerRow::Blank(std::move(address));
  row.cells[kNameCell] = std::move(name);
  row.cells[kPlayersCell] = std::move(players);
  row.cells[kCommentCell] = std::move(comment);
  return row;
}

inline std::vector<std::string> Addresses(const ServerTable& table) {
  std::vector<std::string> out;
  for (const ServerRow& row : table.Rows()) out.push_back(row.address.Str());
  return out;
}

// Runs in another working directory and goes back at the end.
class InFolder {
 public:
  explicit InFolder(const std::filesystem::path& folder) : m_old(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(m_old); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  std::filesystem::path m_old;
};

}  // namespace vantrix::test

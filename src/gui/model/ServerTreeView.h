#pragma once

#include <QTreeView>

namespace vantrix {

// The report style of the list. A click on the selected row edits its address cell,
// whichever column was clicked; nothing else starts an edit (a double click checks the
// server and F2 is a menu shortcut).
class ServerTreeView final : public QTreeView {
  Q_OBJECT

 public:
  explicit ServerTreeView(QWidget* parent = nullptr);

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
};

}  // namespace vantrix

#include "gui/model/ServerTreeView.h"

namespace vantrix {

ServerTreeView::ServerTreeView(QWidget* parent) : QTreeView(parent) {}

bool ServerTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  return QTreeView::edit(index.isValid() ? index.siblingAtColumn(0) : index, trigger, event);
}

}  // namespace vantrix

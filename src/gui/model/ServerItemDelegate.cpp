#include "gui/model/ServerItemDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace vantrix {

ServerItemDelegate::ServerItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void ServerItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  if (!m_gridLines) return;
  painter->save();
  painter->setPen(m_gridColor);
  const QRect cell = option.rect;
  painter->drawLine(cell.bottomLeft(), cell.bottomRight());
  painter->drawLine(cell.topRight(), cell.bottomRight());
  painter->restore();
}

QSize ServerItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  // A little room below the text, so underscores in map names are not cut off.
  return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 2);
}

QWidget* ServerItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  if (editor) editor->setObjectName(QStringLiteral("ListView1Editor"));
  return editor;
}

bool ServerItemDelegate::eventFilter(QObject* object, QEvent* event) {
  // Claiming the shortcut check sends the key to the editor as an ordinary key press,
  // so Del, Ins, Ctrl+C or F2..F12 edit the text instead of running a command.
  if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit*>(object)) {
    event->accept();
    return true;
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace vantrix

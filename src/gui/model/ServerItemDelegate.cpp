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

void ServerItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (m_decorations) return;
  option->features &= ~QStyleOptionViewItem::HasDecoration;
  option->icon = QIcon();
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

bool ServerItemDelegate::IsCommandKey(const QKeyEvent& key) {
  return key.key() >= Qt::Key_F1 && key.key() <= Qt::Key_F35;
}

bool ServerItemDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QLineEdit*>(object);
  if (event->type() == QEvent::ShortcutOverride && editor) {
    // The function keys carry commands wherever the focus is: the edit ends first, as
    // Enter would end it, so the command sees the edited address.
    if (IsCommandKey(*static_cast<QKeyEvent*>(event))) {
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::NoHint);
      return false;
    }
    // Every other key is the editor's: Del, Ins or Ctrl+C edit the text instead of
    // deleting or copying rows behind it.
    event->accept();
    return true;
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace vantrix

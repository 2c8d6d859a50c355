#pragma once

#include <QStyledItemDelegate>

class QKeyEvent;

namespace vantrix {

// Draws the list's cells, with grid lines when they are on, and keeps the keys that edit
// text with the in-place address editor: while it is open, Del, Ins, Ctrl+C and the like
// edit the address, while a function key ends the edit and runs its menu command.
class ServerItemDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit ServerItemDelegate(QObject* parent = nullptr);

  void SetGridLines(bool on) { m_gridLines = on; }
  bool GridLines() const { return m_gridLines; }
  void SetGridColor(const QColor& color) { m_gridColor = color; }
  // Whether cells show their decoration (the address's flag); the icon styles show none.
  void SetDecorations(bool on) { m_decorations = on; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  bool eventFilter(QObject* object, QEvent* event) override;

  // Whether the key ends an edit and goes on to the window's menu (F1..F35, any modifiers).
  static bool IsCommandKey(const QKeyEvent& key);

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  bool m_gridLines = false;
  bool m_decorations = true;
  QColor m_gridColor{0xC0, 0xC0, 0xC0};
};

}  // namespace vantrix

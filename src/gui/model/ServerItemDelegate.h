#pragma once

#include <QStyledItemDelegate>

namespace vantrix {

// Draws the list's cells, with grid lines when they are on, and makes the in-place
// address editor keep every key to itself: while it is open no menu shortcut of the
// window may act on the table behind it.
class ServerItemDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit ServerItemDelegate(QObject* parent = nullptr);

  void SetGridLines(bool on) { m_gridLines = on; }
  bool GridLines() const { return m_gridLines; }
  void SetGridColor(const QColor& color) { m_gridColor = color; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  bool m_gridLines = false;
  QColor m_gridColor{0xC0, 0xC0, 0xC0};
};

}  // namespace vantrix

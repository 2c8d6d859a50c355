#pragma once

#include <QWidget>

class QListWidget;

namespace vantrix {

// The players window: a resizable tool window with one list of lines.
class TForm4 final : public QWidget {
  Q_OBJECT

 public:
  explicit TForm4(QWidget* parent = nullptr);

  QListWidget* ListBox1() const { return m_listBox1; }

 private:
  QListWidget* m_listBox1;
};

}  // namespace vantrix

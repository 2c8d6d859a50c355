#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace vantrix {

// The rules window: a resizable tool window with one read-only text box.
class TForm3 final : public QWidget {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);

  QPlainTextEdit* Memo1() const { return m_memo1; }

 private:
  QPlainTextEdit* m_memo1;
};

}  // namespace vantrix

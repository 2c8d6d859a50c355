#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace vantrix {

// The received-packets window: a resizable tool window with one read-only text box.
class TForm7 final : public QWidget {
  Q_OBJECT

 public:
  explicit TForm7(QWidget* parent = nullptr);

  QPlainTextEdit* Memo1() const { return m_memo1; }

 private:
  QPlainTextEdit* m_memo1;
};

}  // namespace vantrix

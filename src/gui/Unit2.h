#pragma once

#include <QDialog>

class QPushButton;

namespace vantrix {

class Application;

// The server editor dialog (modal). The main window sets its caption and the caption of
// Button1 before it shows it.
class TForm2 final : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(Application& app);

  QPushButton* Button1() const { return m_button1; }

 private:
  Application& m_app;
  QPushButton* m_button1;
};

}  // namespace vantrix

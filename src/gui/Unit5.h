#pragma once

#include <QDialog>

namespace vantrix {

// The configuration dialog (modal, fixed size). Its controls will hold the live settings.
class TForm5 final : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr);
};

}  // namespace vantrix

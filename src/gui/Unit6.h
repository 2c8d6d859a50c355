#pragma once

#include <QDialog>

namespace vantrix {

// The about box (modal, fixed size, closed by its close box only).
class TForm6 final : public QDialog {
  Q_OBJECT

 public:
  explicit TForm6(QWidget* parent = nullptr);
};

}  // namespace vantrix

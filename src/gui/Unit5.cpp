#include "Unit5.h"

#include "WindowLook.h"

namespace vantrix {

TForm5::TForm5(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("Configuration"));
  setModal(true);
  setFixedSize(281, 233);
  ApplyBlackLook(*this);
  CentreOnScreen(*this);
}

}  // namespace vantrix

#include "Unit6.h"

#include "WindowLook.h"

namespace vantrix {

TForm6::TForm6(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral("About box"));
  setModal(true);
  setFixedSize(183, 103);
  ApplyBlackLook(*this);
  CentreOnScreen(*this);
}

}  // namespace vantrix

#include "Unit2.h"

#include <QPushButton>

#include "WindowLook.h"

namespace vantrix {

namespace {
constexpr int kClientWidth = 265;
constexpr int kClientHeight = 209;  // created with the lower band shown
}  // namespace

TForm2::TForm2(Application& app)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_app(app),
      m_button1(new QPushButton(QStringLiteral("Add"), this)) {
  (void)m_app;  // the editor reads and writes the main window's table through it
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("Add server"));
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);
  ApplyBlackLook(*this);
  m_button1->setObjectName(QStringLiteral("Button1"));
  m_button1->setGeometry(176, 8, 81, 23);
  CentreOnScreen(*this);
}

}  // namespace vantrix

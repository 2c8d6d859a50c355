#include "gui/platform/MessageBoxErrorReporter.h"

#include <QMessageBox>

#include "core/util/Texts.h"
#include "gui/text/DisplayText.h"

namespace vantrix {

void MessageBoxErrorReporter::Report(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kProgramTitle), ToDisplay(text), QMessageBox::Ok,
                  m_parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace vantrix

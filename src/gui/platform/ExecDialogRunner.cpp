#include "gui/platform/ExecDialogRunner.h"

#include <QDialog>

namespace vantrix {

int ExecDialogRunner::Exec(QDialog& dialog) {
  return dialog.exec();
}

}  // namespace vantrix

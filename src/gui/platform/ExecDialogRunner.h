#pragma once

#include "gui/platform/DialogRunner.h"

namespace vantrix {

// The real thing: the dialog's own modal loop.
class ExecDialogRunner final : public DialogRunner {
 public:
  int Exec(QDialog& dialog) override;
};

}  // namespace vantrix

#pragma once

class QDialog;

namespace vantrix {

// Shows a dialog modally and returns when it is closed. The window passes its modal
// dialogs through this, so tests can look at a dialog as it is shown without blocking.
class DialogRunner {
 public:
  virtual ~DialogRunner() = default;
  virtual int Exec(QDialog& dialog) = 0;
};

}  // namespace vantrix

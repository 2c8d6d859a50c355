#pragma once

#include "gui/platform/ErrorReporter.h"

class QWidget;

namespace vantrix {

// Shows the error text in a modal message box over the given window.
class MessageBoxErrorReporter final : public ErrorReporter {
 public:
  explicit MessageBoxErrorReporter(QWidget* parent = nullptr) : m_parent(parent) {}
  void SetParent(QWidget* parent) { m_parent = parent; }
  void Report(const std::string& text) override;

 private:
  QWidget* m_parent;
};

}  // namespace vantrix

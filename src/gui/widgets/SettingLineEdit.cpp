#include "gui/widgets/SettingLineEdit.h"

#include <algorithm>
#include <utility>

#include "gui/text/DisplayText.h"

namespace vantrix {

SettingLineEdit::SettingLineEdit(int typedMaxLength, QWidget* parent)
    : QLineEdit(parent), m_typedMaxLength(typedMaxLength) {
  setMaxLength(m_typedMaxLength);
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { FitLimitTo(text.size()); });
}

void SettingLineEdit::SetBytes(std::string bytes) {
  m_bytes = std::move(bytes);
  const QString text = ToDisplay(m_bytes);
  FitLimitTo(text.size());
  setText(text);
}

std::string SettingLineEdit::Bytes() const {
  return EditedBytes(text(), m_bytes);
}

void SettingLineEdit::FitLimitTo(qsizetype length) {
  const int limit = static_cast<int>(std::max<qsizetype>(m_typedMaxLength, length));
  if (limit == maxLength()) return;
  // Changing the limit puts the cursor at the end; an edit in the middle keeps its place.
  const int cursor = cursorPosition();
  setMaxLength(limit);
  setCursorPosition(cursor);
}

}  // namespace vantrix

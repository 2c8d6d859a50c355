#pragma once

#include <string>

#include <QLineEdit>

namespace vantrix {

// An edit box for a text setting. It holds the setting's bytes: a text read from the file
// is shown whole, whatever its length, and comes back byte for byte unless the user edits
// it. The length limit applies to typing only: an edit may not make the text longer than
// the limit, or than the text already is.
class SettingLineEdit final : public QLineEdit {
  Q_OBJECT

 public:
  SettingLineEdit(int typedMaxLength, QWidget* parent = nullptr);

  int TypedMaxLength() const { return m_typedMaxLength; }

  // Shows the bytes (UTF-8 when valid, else Latin-1); they are kept until the text is edited.
  void SetBytes(std::string bytes);
  // The bytes as loaded while the shown text is unchanged, else the edited text as UTF-8.
  std::string Bytes() const;

 private:
  // The toolkit's limit also cuts text set by code, so it follows the text's own length.
  void FitLimitTo(qsizetype length);

  int m_typedMaxLength;
  std::string m_bytes;
};

}  // namespace vantrix

#pragma once

#include <string>

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace vantrix {

// Asks for the password of a server before it is joined: the text is not echoed, "Join"
// accepts and "Cancel" rejects. The password is never stored anywhere but the field.
class PasswordDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit PasswordDialog(QWidget* parent = nullptr);

  // The typed password as UTF-8.
  std::string Password() const;

  QLineEdit* Edit() const { return m_edit; }
  QPushButton* JoinButton() const { return m_join; }
  QPushButton* CancelButton() const { return m_cancel; }

 private:
  QLineEdit* m_edit = nullptr;
  QPushButton* m_join = nullptr;
  QPushButton* m_cancel = nullptr;
};

}  // namespace vantrix

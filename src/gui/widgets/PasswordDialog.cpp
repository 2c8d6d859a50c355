#include "gui/widgets/PasswordDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/text/WindowLook.h"

namespace vantrix {

PasswordDialog::PasswordDialog(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("PasswordDialog"));
  setWindowTitle(QStringLiteral("Join server"));
  setModal(true);
  ApplyBlackLook(*this);

  m_edit = new QLineEdit(this);
  m_edit->setObjectName(QStringLiteral("PasswordEdit"));
  m_edit->setEchoMode(QLineEdit::Password);
  ApplyBlackField(*m_edit);
  auto* label = new QLabel(QStringLiteral("Password:"), this);
  label->setTextFormat(Qt::PlainText);
  label->setBuddy(m_edit);

  m_join = new QPushButton(QStringLiteral("Join"), this);
  m_join->setObjectName(QStringLiteral("JoinButton"));
  m_join->setDefault(true);
  m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_cancel->setObjectName(QStringLiteral("CancelButton"));
  m_cancel->setAutoDefault(false);
  connect(m_join, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_join);
  buttons->addWidget(m_cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(m_edit);
  layout->addLayout(buttons);
}

std::string PasswordDialog::Password() const {
  return m_edit->text().toStdString();
}

}  // namespace vantrix

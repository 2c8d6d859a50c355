#include "gui/watch/BuddiesDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/text/DisplayText.h"
#include "gui/text/WindowLook.h"

namespace vantrix {

BuddiesDialog::BuddiesDialog(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("BuddiesDialog"));
  setWindowTitle(QStringLiteral("Buddies"));
  setModal(true);
  ApplyBlackLook(*this);

  auto* caption = new QLabel(QStringLiteral("&Buddies:"), this);
  m_list = new QListWidget(this);
  m_list->setObjectName(QStringLiteral("ListBox1"));
  m_list->setAccessibleName(QStringLiteral("Buddies"));
  caption->setBuddy(m_list);
  auto* nameCaption = new QLabel(QStringLiteral("&Name:"), this);
  m_name = new QLineEdit(this);
  m_name->setObjectName(QStringLiteral("Edit1"));
  m_name->setAccessibleName(QStringLiteral("Name"));
  nameCaption->setBuddy(m_name);
  for (QWidget* field : std::initializer_list<QWidget*>{m_list, m_name}) ApplyBlackField(*field);

  m_add = new QPushButton(QStringLiteral("Add"), this);
  m_add->setObjectName(QStringLiteral("Button3"));
  m_remove = new QPushButton(QStringLiteral("Remove"), this);
  m_remove->setObjectName(QStringLiteral("Button4"));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("Button1"));
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("Button2"));
  // Enter in the name field adds the name; it does not close the dialog.
  connect(m_name, &QLineEdit::returnPressed, this, &BuddiesDialog::Add);
  connect(m_add, &QPushButton::clicked, this, &BuddiesDialog::Add);
  connect(m_remove, &QPushButton::clicked, this, &BuddiesDialog::Remove);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(nameCaption);
  nameRow->addWidget(m_name, 1);
  nameRow->addWidget(m_add);
  nameRow->addWidget(m_remove);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption);
  layout->addWidget(m_list, 1);
  layout->addLayout(nameRow);
  layout->addLayout(buttons);
  resize(320, 280);
}

void BuddiesDialog::SetNames(const std::vector<std::string>& names) {
  m_list->clear();
  for (const std::string& name : names) m_list->addItem(ToDisplay(name));
  m_name->clear();
}

std::vector<std::string> BuddiesDialog::Names() const {
  std::vector<std::string> names;
  for (int i = 0; i < m_list->count(); ++i) names.push_back(FromDisplay(m_list->item(i)->text()));
  return names;
}

void BuddiesDialog::Add() {
  const QString name = m_name->text();
  if (name.isEmpty() || !m_list->findItems(name, Qt::MatchExactly).isEmpty()) return;
  m_list->addItem(name);
  m_name->clear();
}

void BuddiesDialog::Remove() {
  delete m_list->takeItem(m_list->currentRow());
}

}  // namespace vantrix

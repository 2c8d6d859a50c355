#include "Unit7.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "WindowLook.h"

namespace vantrix {

TForm7::TForm7(QWidget* parent) : QWidget(parent, Qt::Tool), m_memo1(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("Form7"));
  setWindowTitle(QStringLiteral("Received packets"));
  resize(301, 367);
  ApplyBlackLook(*this);
  m_memo1->setObjectName(QStringLiteral("Memo1"));
  m_memo1->setReadOnly(true);
  m_memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_memo1);
  CentreOnScreen(*this);
}

}  // namespace vantrix

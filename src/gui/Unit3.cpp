#include "Unit3.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "WindowLook.h"

namespace vantrix {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Tool), m_memo1(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("Rules"));
  resize(322, 329);
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

#include "Unit4.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "WindowLook.h"

namespace vantrix {

TForm4::TForm4(QWidget* parent) : QWidget(parent, Qt::Tool), m_listBox1(new QListWidget(this)) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Players"));
  resize(230, 294);
  ApplyBlackLook(*this);
  m_listBox1->setObjectName(QStringLiteral("ListBox1"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_listBox1);
  CentreOnScreen(*this);
}

}  // namespace vantrix

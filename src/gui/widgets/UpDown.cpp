#include "gui/widgets/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace vantrix {

namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType type, const QString& name) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setArrowType(type);
  button->setAccessibleName(name);
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setAutoRepeat(true);
  // The field keeps the keyboard focus while the arrows are clicked.
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

UpDown::UpDown(QWidget* parent)
    : QWidget(parent),
      m_up(MakeArrow(this, Qt::UpArrow, QStringLiteral("Up"))),
      m_down(MakeArrow(this, Qt::DownArrow, QStringLiteral("Down"))) {
  connect(m_up, &QToolButton::clicked, this, [this] { emit Changing(+1); });
  connect(m_down, &QToolButton::clicked, this, [this] { emit Changing(-1); });
}

void UpDown::SetAssociate(QLineEdit* edit) {
  if (m_associate) m_associate->removeEventFilter(this);
  m_associate = edit;
  if (m_associate) m_associate->installEventFilter(this);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_associate && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
      if (key->key() == Qt::Key_Up) {
        emit Changing(+1);
        return true;
      }
      if (key->key() == Qt::Key_Down) {
        emit Changing(-1);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int upper = height() / 2;
  m_up->setGeometry(0, 0, width(), upper);
  m_down->setGeometry(0, upper, width(), height() - upper);
}

}  // namespace vantrix

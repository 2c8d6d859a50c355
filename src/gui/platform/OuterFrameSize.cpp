#include "gui/platform/OuterFrameSize.h"

#include <algorithm>

#include <QEvent>

#include "gui/text/WindowLook.h"

namespace vantrix {

namespace {

int InnerSide(int outer, int frame) {
  if (outer >= QWIDGETSIZE_MAX) return QWIDGETSIZE_MAX;
  return std::max(0, outer - frame);
}

QMargins FrameOf(const QWidget& window) {
  const QRect inner = window.geometry();
  const QRect outer = window.frameGeometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

}  // namespace

OuterFrameSize::OuterFrameSize(QWidget& window, Limits outer)
    : QObject(&window), m_window(window), m_outer(outer) {
  Apply(QMargins());
  window.installEventFilter(this);
}

QSize OuterFrameSize::Inner(QSize outer, const QMargins& frame) {
  return {InnerSide(outer.width(), frame.left() + frame.right()),
          InnerSide(outer.height(), frame.top() + frame.bottom())};
}

void OuterFrameSize::Apply(const QMargins& frame) {
  m_window.setMinimumSize(Inner(m_outer.minimum, frame));
  m_window.setMaximumSize(Inner(m_outer.maximum, frame));
  m_window.resize(Inner(m_outer.start, frame));
  CentreOnScreen(m_window);
  m_frameApplied = !frame.isNull();
}

bool OuterFrameSize::eventFilter(QObject* watched, QEvent* event) {
  if (!m_frameApplied && watched == &m_window &&
      (event->type() == QEvent::Show || event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
    // Only the first frame counts: later the size is the user's.
    const QMargins frame = FrameOf(m_window);
    if (!frame.isNull()) Apply(frame);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vantrix

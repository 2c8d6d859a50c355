#pragma once

#include <QMargins>
#include <QObject>
#include <QSize>
#include <QWidget>

namespace vantrix {

// Sizes a window by its outer frame, title bar and borders included, and centres that frame
// on the desktop. Until a window manager has drawn a frame the outer size is the window's
// own; once the frame is known (it arrives after the window is shown) the window's size and
// limits shrink by the frame, once, and the frame is centred again.
class OuterFrameSize final : public QObject {
  Q_OBJECT

 public:
  struct Limits {
    QSize start;
    QSize minimum{0, 0};
    QSize maximum{QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
  };

  // Watches `window` (and is owned by it) from now on.
  OuterFrameSize(QWidget& window, Limits outer);

  // Sizes the window for a frame with these margins (none: no frame) and centres it.
  void Apply(const QMargins& frame);
  bool FrameApplied() const { return m_frameApplied; }

  // The window's own size for an outer size and a frame; an unlimited side stays unlimited.
  static QSize Inner(QSize outer, const QMargins& frame);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& m_window;
  Limits m_outer;
  bool m_frameApplied = false;
};

}  // namespace vantrix

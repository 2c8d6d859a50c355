#pragma once

#include <QPointer>

#include "core/query/OneShotTimer.h"

class QTimer;

namespace vantrix {

// Drives a window's QTimer as a one-shot timer. The tick arrives as the QTimer's timeout
// signal, on the main thread, whenever events are processed; whoever owns the timer
// connects it to the handler. A timer that is gone is left alone.
class QtOneShotTimer final : public OneShotTimer {
 public:
  explicit QtOneShotTimer(QTimer& timer);

  void Start(std::uint32_t intervalMilliseconds) override;
  void Stop() override;

 private:
  QPointer<QTimer> m_timer;
};

}  // namespace vantrix

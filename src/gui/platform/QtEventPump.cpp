#include "gui/platform/QtEventPump.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vantrix {

void QtEventPump::ProcessEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace vantrix

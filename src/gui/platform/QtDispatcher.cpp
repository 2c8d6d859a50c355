#include "gui/platform/QtDispatcher.h"

#include <exception>

namespace vantrix {

void QtDispatcher::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(
      &m_receiver,
      [task = std::move(task)] {
        // An exception must not unwind through Qt's event dispatch; handlers that are
        // posted here report their own errors, or none.
        try {
          task();
        } catch (const std::exception&) {
        }
      },
      Qt::QueuedConnection);
}

}  // namespace vantrix

#include "gui/platform/AccessibilityRequests.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QEvent>
#include <QObject>
#include <QString>

namespace vantrix {

namespace {

// The bridge's own connection to the accessibility bus, and the paths it serves there:
// every accessible object (one object serves the whole subtree) and the tree cache.
const char* const kBridgeConnection = "a11y";
const char* const kServedPaths[] = {"/org/a11y/atspi/accessible", "/org/a11y/atspi/cache"};

}  // namespace

void AccessibilityRequests::AnswerPending() {
  // Without an active bridge there is nothing to answer, and the bus library stays unused.
  if (!QAccessible::isActive()) return;
  const QDBusConnection bus(QString::fromLatin1(kBridgeConnection));
  if (!bus.isConnected()) return;
  for (const char* path : kServedPaths) {
    if (QObject* server = bus.objectRegisteredAt(QString::fromLatin1(path)))
      QCoreApplication::sendPostedEvents(server, QEvent::MetaCall);
  }
}

}  // namespace vantrix

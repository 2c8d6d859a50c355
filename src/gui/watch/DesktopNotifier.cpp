#include "gui/watch/DesktopNotifier.h"

#include <utility>

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include "core/util/TextEscaping.h"
#include "core/watch/WatchTexts.h"
#include "gui/text/DisplayText.h"

namespace vantrix {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// A server's bytes as the service shows them: control characters as "?".
QString Shown(const std::string& bytes) {
  return ToDisplay(TerminalText(bytes));
}

}  // namespace

DesktopNotifier::DesktopNotifier(FallbackFn fallback, QObject* parent)
    : QObject(parent), m_fallback(std::move(fallback)), m_bus(QDBusConnection::sessionBus()) {}

void DesktopNotifier::SetConnection(const QDBusConnection& bus) {
  m_bus = bus;
  m_markup.reset();
}

void DesktopNotifier::Notify(const WatchEvent& event) {
  if (!m_bus.isConnected()) {
    Fallback(event);
    return;
  }
  if (m_markup) {
    Send(event);
    return;
  }
  if (m_waiting.size() < kMaxWaiting) m_waiting.push_back(event);
  AskCapabilities();
}

bool DesktopNotifier::NoService(const QDBusError& error) const {
  return error.type() == QDBusError::ServiceUnknown || error.type() == QDBusError::Disconnected ||
         !m_bus.isConnected();
}

void DesktopNotifier::Watch(QDBusPendingCallWatcher* watcher,
                            std::function<void(QDBusPendingCallWatcher&)> done) {
  ++m_inFlight;
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, done = std::move(done)](QDBusPendingCallWatcher* call) {
            --m_inFlight;
            done(*call);
            call->deleteLater();
          });
}

void DesktopNotifier::AskCapabilities() {
  if (m_asking) return;
  m_asking = true;
  const QDBusMessage message =
      QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("GetCapabilities"));
  Watch(new QDBusPendingCallWatcher(m_bus.asyncCall(message, kCallTimeoutMs), this),
        [this](QDBusPendingCallWatcher& call) {
          m_asking = false;
          const QDBusPendingReply<QStringList> reply = call;
          if (reply.isError()) {
            // Without a service the events are shown in the window; a service that failed or
            // did not answer in time loses them, and is asked again with the next event.
            std::vector<WatchEvent> waiting = std::exchange(m_waiting, {});
            if (NoService(reply.error()))
              for (const WatchEvent& event : waiting) Fallback(event);
            return;
          }
          m_markup = reply.value().contains(QStringLiteral("body-markup"));
          Flush();
        });
}

void DesktopNotifier::Fallback(const WatchEvent& event) {
  m_fallback(TerminalText(WatchEventLine(event.summary, event.body)));
}

void DesktopNotifier::Flush() {
  for (const WatchEvent& event : std::exchange(m_waiting, {})) Send(event);
}

void DesktopNotifier::Send(const WatchEvent& event) {
  if (m_inFlight >= kMaxInFlight) return;
  QDBusMessage message =
      QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
  const QString body = Shown(*m_markup ? EscapeNotificationMarkup(event.body) : event.body);
  message << QStringLiteral("Vantrix") << 0u << QString() << Shown(event.summary) << body << QStringList()
          << QVariantMap() << -1;
  Watch(new QDBusPendingCallWatcher(m_bus.asyncCall(message, kCallTimeoutMs), this),
        [this, event](QDBusPendingCallWatcher& call) {
          if (call.isError() && NoService(call.error())) {
            m_markup.reset();  // the service went away: ask again when one comes
            Fallback(event);
          }
        });
}

}  // namespace vantrix

#pragma once

// A private session bus (dbus-daemon as a child process) and a stand-in for the desktop's
// notification service on it, for the watch's notification tests.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

namespace vantrix::test {

class PrivateSessionBus {
 public:
  PrivateSessionBus() = default;
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;
  ~PrivateSessionBus() {
    for (const QString& name : m_names) QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() != QProcess::NotRunning) {
      m_daemon.kill();
      m_daemon.waitForFinished(5000);
    }
  }

  // False when dbus-daemon is missing or did not print its address within 10 s.
  bool Start() {
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                    QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(10000)) return false;
    for (int tries = 0; tries < 100 && !m_daemon.canReadLine(); ++tries) m_daemon.waitForReadyRead(100);
    if (!m_daemon.canReadLine()) return false;
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    return !m_address.isEmpty();
  }

  // A new connection to the bus, closed with it.
  QDBusConnection Connect(const QString& name) {
    m_names << name;
    return QDBusConnection::connectToBus(m_address, name);
  }

 private:
  QProcess m_daemon;
  QString m_address;
  QStringList m_names;
};

// org.freedesktop.Notifications: records every Notify; lists "body-markup" when asked to,
// and leaves every call unanswered when `silent` (a service that hangs).
class StandInNotifications : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  struct Shown {
    QString app;
    QString summary;
    QString body;
  };

  StandInNotifications(QDBusConnection bus, bool markup, bool silent = false)
      : m_bus(std::move(bus)), m_markup(markup), m_silent(silent) {}

  bool Register() {
    return m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                QDBusConnection::ExportAllSlots) &&
           m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
  }

  QList<Shown> shown;
  int asked = 0;

 public slots:
  QStringList GetCapabilities() {
    ++asked;
    if (m_silent) setDelayedReply(true);
    return m_markup ? QStringList{QStringLiteral("body"), QStringLiteral("body-markup")}
                    : QStringList{QStringLiteral("body")};
  }
  uint Notify(const QString& app, uint /*replaces*/, const QString& /*icon*/, const QString& summary,
              const QString& body, const QStringList& /*actions*/, const QVariantMap& /*hints*/,
              int /*timeout*/) {
    if (m_silent) setDelayedReply(true);
    shown.push_back({app, summary, body});
    return static_cast<uint>(shown.size());
  }

 private:
  QDBusConnection m_bus;
  bool m_markup;
  bool m_silent;
};

}  // namespace vantrix::test

#include "gui/atspi/AtSpiReader.h"

#include <optional>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>
#include <QStringList>

namespace {

// An object on the accessibility bus: the bus name of its application and its path.
struct AtSpiRef {
  QString service;
  QDBusObjectPath path;
};

}  // namespace

Q_DECLARE_METATYPE(AtSpiRef)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const AtSpiRef& ref) {
  argument.beginStructure();
  argument << ref.service << ref.path;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, AtSpiRef& ref) {
  argument.beginStructure();
  argument >> ref.service >> ref.path;
  argument.endStructure();
  return argument;
}

const QString kRegistry = QStringLiteral("org.a11y.atspi.Registry");
const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
constexpr int kCallMilliseconds = 5000;
constexpr int kMaxNodes = 500;

std::optional<QString> NameOf(const QDBusConnection& bus, const AtSpiRef& ref) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      ref.service, ref.path.path(), QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  call << kAccessible << QStringLiteral("Name");
  const QDBusMessage reply = bus.call(call, QDBus::Block, kCallMilliseconds);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
  return reply.arguments().constFirst().value<QDBusVariant>().variant().toString();
}

QList<AtSpiRef> ChildrenOf(const QDBusConnection& bus, const AtSpiRef& ref) {
  const QDBusMessage call = QDBusMessage::createMethodCall(ref.service, ref.path.path(), kAccessible,
                                                           QStringLiteral("GetChildren"));
  const QDBusMessage reply = bus.call(call, QDBus::Block, kCallMilliseconds);
  QList<AtSpiRef> children;
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return children;
  reply.arguments().constFirst().value<QDBusArgument>() >> children;
  return children;
}

// Breadth first from each registered application's root, bounded in nodes.
std::optional<AtSpiRef> FindByName(const QDBusConnection& bus, const QString& name) {
  QList<AtSpiRef> queue = ChildrenOf(bus, {kRegistry, QDBusObjectPath(kRootPath)});
  for (int i = 0; i < queue.size() && i < kMaxNodes; ++i) {
    const AtSpiRef ref = queue.at(i);
    if (NameOf(bus, ref) == name) return ref;
    queue += ChildrenOf(bus, ref);
  }
  return std::nullopt;
}

}  // namespace

namespace vantrix::test {

void AtSpiReader::Start(QString sessionBusAddress, QString name, int periodMilliseconds, QString press,
                        int findMilliseconds, int maxReadings) {
  Stop();
  m_stop = false;
  m_found = false;
  m_finished = false;
  m_thread = std::thread([=, this] {
    Run(sessionBusAddress, name, periodMilliseconds, press, findMilliseconds, maxReadings);
    m_finished = true;
  });
}

void AtSpiReader::Stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
}

QString AtSpiReader::Problem() const {
  std::lock_guard lock(m_mutex);
  return m_problem;
}

void AtSpiReader::SetProblem(const QString& problem) {
  std::lock_guard lock(m_mutex);
  m_problem = problem;
}

std::vector<AtSpiReader::Reading> AtSpiReader::Readings() const {
  std::lock_guard lock(m_mutex);
  return m_readings;
}

QStringList AtSpiReader::Texts() const {
  QStringList texts;
  for (const Reading& reading : Readings())
    if (reading.ok && (texts.isEmpty() || texts.last() != reading.text)) texts << reading.text;
  return texts;
}

void AtSpiReader::Run(QString sessionBusAddress, QString name, int periodMilliseconds, QString press,
                      int findMilliseconds, int maxReadings) {
  qDBusRegisterMetaType<AtSpiRef>();
  qDBusRegisterMetaType<QList<AtSpiRef>>();
  const QString sessionName = QStringLiteral("vantrix-test-session");
  const QString a11yName = QStringLiteral("vantrix-test-a11y");
  {
    QDBusConnection session = QDBusConnection::connectToBus(sessionBusAddress, sessionName);
    const QDBusMessage reply = session.call(
        QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                       QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")),
        QDBus::Block, kCallMilliseconds);
    const QString address = reply.arguments().value(0).toString();
    if (address.isEmpty()) {
      SetProblem(QStringLiteral("no accessibility bus: ") + reply.errorMessage());
    } else {
      QDBusConnection bus = QDBusConnection::connectToBus(address, a11yName);
      std::optional<AtSpiRef> target;
      std::optional<AtSpiRef> pressed;
      const auto findUntil = Clock::now() + std::chrono::milliseconds(findMilliseconds);
      while ((!target || (!press.isEmpty() && !pressed)) && !m_stop && Clock::now() < findUntil) {
        if (!target) target = FindByName(bus, name);
        if (!press.isEmpty() && !pressed) pressed = FindByName(bus, press);
        if (!target || (!press.isEmpty() && !pressed))
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      if (!target || (!press.isEmpty() && !pressed)) {
        SetProblem(QStringLiteral("no accessible object named \"") + (target ? press : name) +
                   QStringLiteral("\""));
      } else {
        m_found = true;
        if (pressed) {
          QDBusMessage action = QDBusMessage::createMethodCall(pressed->service, pressed->path.path(),
                                                               QStringLiteral("org.a11y.atspi.Action"),
                                                               QStringLiteral("DoAction"));
          action << 0;
          bus.send(action);
        }
        for (int count = 0; count < maxReadings && !m_stop; ++count) {
          Reading reading;
          reading.asked = Clock::now();
          const std::optional<QString> text = NameOf(bus, *target);
          reading.answered = Clock::now();
          reading.ok = text.has_value();
          reading.text = text.value_or(QString());
          {
            std::lock_guard lock(m_mutex);
            m_readings.push_back(reading);
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(periodMilliseconds));
        }
      }
    }
  }
  QDBusConnection::disconnectFromBus(a11yName);
  QDBusConnection::disconnectFromBus(sessionName);
}

}  // namespace vantrix::test

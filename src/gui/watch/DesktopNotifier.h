#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QDBusConnection>
#include <QObject>

#include "core/watch/WatchTransitions.h"

class QDBusPendingCallWatcher;

namespace vantrix {

// Shows watch events through the desktop's notification service on the session bus. Every
// call is asynchronous with a time-out and the calls in flight are bounded, so a service
// that errors or never answers blocks nothing; events beyond the bound are dropped. The
// service's capabilities are asked once it answers; bodies are escaped when it reads
// markup. When no service is on the bus (or there is no bus), an event goes to the
// fallback as SUMMARY ": " BODY.
class DesktopNotifier final : public QObject {
 public:
  using FallbackFn = std::function<void(const std::string& line)>;

  static constexpr int kCallTimeoutMs = 3000;
  static constexpr std::size_t kMaxInFlight = 16;
  static constexpr std::size_t kMaxWaiting = 64;

  explicit DesktopNotifier(FallbackFn fallback, QObject* parent = nullptr);
  // Another bus than the session bus (tests).
  void SetConnection(const QDBusConnection& bus);

  void Notify(const WatchEvent& event);
  std::size_t InFlight() const { return m_inFlight; }

 private:
  void AskCapabilities();
  void Send(const WatchEvent& event);
  void Flush();
  void Fallback(const WatchEvent& event);
  bool NoService(const QDBusError& error) const;
  void Watch(QDBusPendingCallWatcher* watcher, std::function<void(QDBusPendingCallWatcher&)> done);

  FallbackFn m_fallback;
  QDBusConnection m_bus;
  std::optional<bool> m_markup;  // known once the service told its capabilities
  bool m_asking = false;
  std::vector<WatchEvent> m_waiting;  // until the capabilities come
  std::size_t m_inFlight = 0;
};

}  // namespace vantrix

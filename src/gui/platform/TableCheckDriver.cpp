#include "gui/platform/TableCheckDriver.h"

#include "client/ThreadedHostLookups.h"
#include "net/IPv4Text.h"

namespace vantrix {

TableCheckDriver::TableCheckDriver(ServerTable& table, StatusLine& status, TickClock& clock,
                                   DatagramSender& sender)
    : m_table(table), m_status(status), m_clock(clock), m_sender(sender) {
  m_timer.setSingleShot(true);
  m_timer.setTimerType(Qt::PreciseTimer);
  connect(&m_timer, &QTimer::timeout, this, [this] { Step(); });
}

TableCheckDriver::~TableCheckDriver() {
  Release();
}

void TableCheckDriver::Start(const TableCheckSetup& setup) {
  Stop();
  // A lookup thread's note is a queued call on this object: it runs here, on the main
  // thread, and is dropped if this object is gone by then.
  m_lookups = std::make_unique<ThreadedHostLookups>([this] {
    QMetaObject::invokeMethod(
        this, [this] { Step(); }, Qt::QueuedConnection);
  });
  m_quiet = setup.quiet;
  m_run = std::make_unique<TableCheckRun>(m_table, m_status, m_clock, m_sender, *m_lookups, setup);
  if (m_runningChanged) m_runningChanged(true);
  {
    std::optional<ListChangeTracker::QuietScope> quiet;
    QuietWrites(quiet);
    m_run->Start();
  }
  Step();
}

void TableCheckDriver::Stop() {
  std::optional<ListChangeTracker::QuietScope> quiet;
  QuietWrites(quiet);
  if (m_run) m_run->Stop();
  Release();
}

void TableCheckDriver::Release() {
  m_timer.stop();
  const bool wasRunning = m_run != nullptr;
  m_run.reset();
  m_lookups.reset();
  if (wasRunning && m_runningChanged) m_runningChanged(false);
}

bool TableCheckDriver::TakeDatagram(std::string_view senderIp, std::uint16_t senderPort,
                                    std::string_view datagram, std::uint32_t arrivalTick, bool lateCopies) {
  if (!m_run) return false;
  const auto address = ParseDottedIPv4(senderIp);
  if (!address) return false;
  if (lateCopies && m_run->IsLateCopy(*address, senderPort)) return true;
  if (!m_run->Claims(*address, senderPort)) return false;
  {
    std::optional<ListChangeTracker::QuietScope> quiet;
    QuietWrites(quiet);
    m_run->Receive(*address, senderPort, datagram, arrivalTick);
  }
  Rearm();
  return true;
}

void TableCheckDriver::Step() {
  if (!m_run) return;
  {
    std::optional<ListChangeTracker::QuietScope> quiet;
    QuietWrites(quiet);
    m_run->Step();
  }
  if (m_run->Finished()) {
    Release();
    if (m_finished) m_finished();
    return;
  }
  Rearm();
}

void TableCheckDriver::QuietWrites(std::optional<ListChangeTracker::QuietScope>& scope) {
  if (m_run && m_quiet && m_changes != nullptr) scope.emplace(*m_changes);
}

void TableCheckDriver::Rearm() {
  const auto in = m_run ? m_run->NextStepInMs() : std::nullopt;
  if (!in) {
    m_timer.stop();
    return;
  }
  // A timer already due sooner stays as it is.
  const int ms = static_cast<int>(std::min<std::uint32_t>(*in, 60'000));
  if (m_timer.isActive() && m_timer.remainingTime() <= ms) return;
  m_timer.start(ms);
}

}  // namespace vantrix

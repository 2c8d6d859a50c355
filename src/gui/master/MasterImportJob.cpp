#include "gui/master/MasterImportJob.h"

#include <QSocketNotifier>
#include <QTimer>

#include "client/MasterDriver.h"
#include "client/MasterRun.h"
#include "client/UdpClientSocket.h"
#include "core/master/MasterSession.h"
#include "core/master/WebApiServerList.h"
#include "webapi/WebApiFetch.h"

namespace vantrix {

namespace {

// The socket's arrival stamps are not used: the session reads the job's clock.
class NoClock final : public MicrosecondClock {
 public:
  std::uint64_t NowUs() override { return 0; }
};

constexpr std::size_t kDatagramsPerWake = 64;

}  // namespace

MasterImportJob::MasterImportJob(MasterImportSettings settings, TickClock& clock, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)), m_clock(clock), m_webApiBase(kWebApiServerListUrl) {}

MasterImportJob::~MasterImportJob() {
  // The notifier goes before the socket it watches is closed.
  delete m_notifier;
}

void MasterImportJob::Start() {
  if (m_running || m_finished) return;
  m_running = true;
  m_session = std::make_unique<MasterSession>(m_settings.region, m_settings.filter,
                                              static_cast<std::size_t>(m_settings.limit), m_pacing);
  if (m_settings.apiKey.empty()) {
    StartUdp();
  } else {
    StartWebApi();
  }
}

void MasterImportJob::StartUdp() {
  try {
    const IPv4Endpoint master = ResolveMasterEndpoint(m_settings.address);
    m_socket = std::make_unique<UdpClientSocket>();
    m_driver = std::make_unique<MasterDriver>(*m_session, *m_socket, master);
  } catch (const std::exception& error) {
    m_session->Fail(error.what());
    // The end is reported from the event loop, as every other end is.
    QTimer::singleShot(0, this, &MasterImportJob::Finish);
    return;
  }
  m_notifier = new QSocketNotifier(static_cast<qintptr>(m_socket->Fd()), QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &MasterImportJob::ReadDatagrams);
  m_timer = new QTimer(this);
  m_timer->setSingleShot(true);
  connect(m_timer, &QTimer::timeout, this, &MasterImportJob::Step);
  m_timer->start(0);
}

void MasterImportJob::Step() {
  if (!m_running) return;
  const auto wait = m_driver->Step(m_clock.Ticks());
  if (!wait) {
    Finish();
    return;
  }
  m_timer->start(static_cast<int>(std::min<std::uint32_t>(*wait, 60000)));
}

void MasterImportJob::ReadDatagrams() {
  if (!m_running) return;
  NoClock noClock;
  std::size_t added = 0;
  m_socket->Drain(
      [this, &added](const IPv4Endpoint& from, std::string_view datagram, std::uint64_t) {
        added += m_driver->Deliver(from, datagram, m_clock.Ticks());
      },
      noClock, kDatagramsPerWake);
  if (added > 0) emit Progress();
  // The next request may be due at once (the first pages are not paced).
  m_timer->start(0);
}

void MasterImportJob::StartWebApi() {
  m_fetch = new WebApiFetch(this);
  connect(m_fetch, &WebApiFetch::Finished, this, &MasterImportJob::WebApiDone);
  m_fetch->Start(WebApiRequestUrl(m_webApiBase, m_settings.apiKey, m_settings.filter,
                                  static_cast<std::size_t>(m_settings.limit)));
}

void MasterImportJob::WebApiDone() {
  if (!m_running) return;
  if (!m_fetch->Failure().empty()) {
    m_webApiStatus = m_fetch->Failure();
  } else {
    WebApiServerList list = ReadWebApiServerList(m_fetch->Body(), static_cast<std::size_t>(m_settings.limit));
    m_webApiStatus = list.error.empty() ? "Idle..." : list.error;
    m_webApiAddresses = std::move(list.addresses);
  }
  Finish();
}

void MasterImportJob::Cancel() {
  if (!m_running) return;
  if (m_session) m_session->Cancel();
  if (m_fetch) {
    m_fetch->Abort();
    m_webApiStatus = "Idle...";
  }
  Finish();
}

void MasterImportJob::Finish() {
  if (!m_running) return;
  m_running = false;
  m_finished = true;
  if (m_timer) m_timer->stop();
  if (m_notifier) m_notifier->setEnabled(false);
  emit Finished();
}

const std::vector<MasterAddress>& MasterImportJob::Addresses() const {
  static const std::vector<MasterAddress> kNone;
  if (m_fetch) return m_webApiAddresses;
  return m_session ? m_session->Addresses() : kNone;
}

std::string MasterImportJob::StatusText() const {
  if (m_fetch) return m_running ? "Master server: 0 servers" : m_webApiStatus;
  return m_session ? m_session->StatusText() : std::string("Master server: 0 servers");
}

}  // namespace vantrix

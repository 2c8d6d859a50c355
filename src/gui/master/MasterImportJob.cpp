#include "gui/master/MasterImportJob.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSocketNotifier>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>

#include "check/CheckSocket.h"
#include "check/MasterDriver.h"
#include "check/MasterRun.h"
#include "core/master/MasterSession.h"
#include "core/master/WebApiServerList.h"

namespace vantrix {

namespace {

// The socket's arrival stamps are not used: the session reads the job's clock.
class NoClock final : public MicrosecondClock {
 public:
  std::uint64_t NowUs() override { return 0; }
};

constexpr int kWebApiTimeoutMs = 30000;
constexpr std::size_t kDatagramsPerWake = 64;

}  // namespace

MasterImportJob::MasterImportJob(MasterImportSettings settings, Clock& clock, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)), m_clock(clock), m_webApiBase(kWebApiServerListUrl) {}

MasterImportJob::~MasterImportJob() {
  if (m_reply) m_reply->abort();
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
    const CheckEndpoint master = ResolveMasterEndpoint(m_settings.address);
    m_socket = std::make_unique<CheckSocket>();
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
      [this, &added](const CheckEndpoint& from, std::string_view datagram, std::uint64_t) {
        added += m_driver->Deliver(from, datagram, m_clock.Ticks());
      },
      noClock, kDatagramsPerWake);
  if (added > 0) emit Progress();
  // The next request may be due at once (the first pages are not paced).
  m_timer->start(0);
}

void MasterImportJob::StartWebApi() {
  if (!QSslSocket::supportsSsl() && m_webApiBase.starts_with("https:")) {
    m_session->Fail("Error: Web API: TLS is not available on this system");
    QTimer::singleShot(0, this, &MasterImportJob::Finish);
    return;
  }
  m_network = new QNetworkAccessManager(this);
  const std::string url = WebApiRequestUrl(m_webApiBase, m_settings.apiKey, m_settings.filter,
                                           static_cast<std::size_t>(m_settings.limit));
  QNetworkRequest request(QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode));
  request.setTransferTimeout(kWebApiTimeoutMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  m_reply = m_network->get(request);
  connect(m_reply, &QNetworkReply::finished, this, &MasterImportJob::WebApiDone);
}

void MasterImportJob::WebApiDone() {
  QNetworkReply* reply = m_reply;
  if (!reply || !m_running) return;
  reply->deleteLater();
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (reply->error() != QNetworkReply::NoError || status >= 300) {
    m_webApiStatus = WebApiFailureText(status, reply->errorString().toStdString());
  } else {
    WebApiServerList list =
        ReadWebApiServerList(reply->readAll().toStdString(), static_cast<std::size_t>(m_settings.limit));
    m_webApiStatus = list.error.empty() ? "Idle..." : list.error;
    m_webApiAddresses = std::move(list.addresses);
  }
  Finish();
}

void MasterImportJob::Cancel() {
  if (!m_running) return;
  if (m_session) m_session->Cancel();
  if (m_reply) {
    m_webApiStatus = "Idle...";
    m_reply->disconnect(this);
    m_reply->abort();
    m_reply->deleteLater();
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
  if (m_network) return m_webApiAddresses;
  return m_session ? m_session->Addresses() : kNone;
}

std::string MasterImportJob::StatusText() const {
  if (m_network) return m_running ? "Master server: 0 servers" : m_webApiStatus;
  return m_session ? m_session->StatusText() : std::string("Master server: 0 servers");
}

}  // namespace vantrix

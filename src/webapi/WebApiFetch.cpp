#include "webapi/WebApiFetch.h"

#include <memory>

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>

namespace vantrix {

namespace {

constexpr int kTransferTimeoutMs = 30000;

}  // namespace

WebApiFetch::WebApiFetch(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this)) {}

WebApiFetch::~WebApiFetch() {
  Abort();
}

void WebApiFetch::Start(const std::string& url) {
  if (url.starts_with("https:") && !QSslSocket::supportsSsl()) {
    m_failure = "Error: Web API: TLS is not available on this system";
    QTimer::singleShot(0, this, &WebApiFetch::Finished);
    return;
  }
  QNetworkRequest request(QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode));
  request.setTransferTimeout(kTransferTimeoutMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  m_reply = m_network->get(request);
  connect(m_reply, &QNetworkReply::finished, this, &WebApiFetch::Done);
}

void WebApiFetch::Abort() {
  if (!m_reply) return;
  if (m_failure.empty()) m_failure = "Error: Web API did not answer";
  m_reply->disconnect(this);
  m_reply->abort();
  m_reply->deleteLater();
  m_reply = nullptr;
}

void WebApiFetch::Done() {
  QNetworkReply* reply = m_reply;
  if (!reply) return;
  m_reply = nullptr;
  reply->deleteLater();
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (reply->error() != QNetworkReply::NoError || status >= 300) {
    m_failure = WebApiFailureText(status, reply->errorString().toStdString());
  } else {
    m_body = reply->readAll().toStdString();
  }
  emit Finished();
}

WebApiFetch& FetchAndWait(WebApiFetch& fetch, const std::string& url) {
  QEventLoop loop;
  QObject::connect(&fetch, &WebApiFetch::Finished, &loop, &QEventLoop::quit);
  fetch.Start(url);
  // Past the transfer time-out something is wrong with the loop itself: give up then.
  QTimer::singleShot(kTransferTimeoutMs + 5000, &loop, &QEventLoop::quit);
  loop.exec();
  fetch.Abort();  // only when the loop gave up
  return fetch;
}

WebApiServerList FetchWebApiServerList(const std::string& url, std::size_t limit) {
  int argc = 1;
  char name[] = "vantrix-check";
  char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> app;  // declared after its arguments, so it ends before them
  if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
  WebApiFetch fetch;
  FetchAndWait(fetch, url);
  if (!fetch.Failure().empty()) return {.addresses = {}, .skipped = 0, .error = fetch.Failure()};
  return ReadWebApiServerList(fetch.Body(), limit);
}

}  // namespace vantrix

#pragma once

#include <cstddef>
#include <string>

#include <QObject>
#include <QPointer>

#include "core/master/WebApiServerList.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace vantrix {

// One GET of the Web API's server list through Qt Network (TLS for https URLs), for the
// window and vantrix-check alike. Finished comes once, from the event loop: the body and
// an empty text, or the failure's text for the status line.
class WebApiFetch final : public QObject {
  Q_OBJECT

 public:
  explicit WebApiFetch(QObject* parent = nullptr);
  ~WebApiFetch() override;

  // Starts the GET; a URL that needs TLS on a system without it fails at once (reported
  // from the event loop like any other end).
  void Start(const std::string& url);
  // Stops a fetch under way; it then counts as not answered, and Finished does not come.
  void Abort();

  const std::string& Body() const { return m_body; }
  const std::string& Failure() const { return m_failure; }

 signals:
  void Finished();

 private:
  void Done();

  QNetworkAccessManager* m_network;
  QPointer<QNetworkReply> m_reply;
  std::string m_body;
  std::string m_failure;
};

// Fetches the URL and waits in an event loop of its own, bounded by the transfer time-out:
// for programs without a window. Needs a QCoreApplication.
WebApiFetch& FetchAndWait(WebApiFetch& fetch, const std::string& url);

// The server list for a program without a window: makes the QCoreApplication the fetch needs
// when there is none, fetches `url` and reads at most `limit` servers of the reply.
WebApiServerList FetchWebApiServerList(const std::string& url, std::size_t limit);

}  // namespace vantrix

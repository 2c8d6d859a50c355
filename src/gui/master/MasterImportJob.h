#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QObject>

#include "core/master/MasterAddress.h"
#include "core/master/MasterImportSettings.h"
#include "core/master/MasterPacing.h"
#include "core/time/TickClock.h"

class QSocketNotifier;
class QTimer;

namespace vantrix {

class UdpClientSocket;
class MasterDriver;
class MasterSession;
class WebApiFetch;

// One import of the master's list, run from the event loop (nothing waits inside a
// command): over UDP, paged by the shared MasterSession, or from the Web API over HTTPS
// when a key is given. Reports progress and one end; Cancel ends it keeping what came.
class MasterImportJob final : public QObject {
  Q_OBJECT

 public:
  MasterImportJob(MasterImportSettings settings, TickClock& clock, QObject* parent = nullptr);
  ~MasterImportJob() override;

  // Where the Web API is asked (tests point it at loopback) and how UDP pages are paced.
  void SetWebApiBase(std::string url) { m_webApiBase = std::move(url); }
  void SetPacing(const MasterPacing& pacing) { m_pacing = pacing; }

  void Start();
  void Cancel();
  bool Running() const { return m_running; }

  // What came so far, in the master's order, each address once.
  const std::vector<MasterAddress>& Addresses() const;
  // "Master server: N servers" while it runs; "Idle..." or the error at the end.
  std::string StatusText() const;

 signals:
  void Progress();
  void Finished();

 private:
  void StartUdp();
  void StartWebApi();
  void Step();
  void ReadDatagrams();
  void WebApiDone();
  void Finish();

  MasterImportSettings m_settings;
  TickClock& m_clock;
  MasterPacing m_pacing;
  std::string m_webApiBase;
  bool m_running = false;
  bool m_finished = false;

  std::unique_ptr<MasterSession> m_session;
  std::unique_ptr<UdpClientSocket> m_socket;
  std::unique_ptr<MasterDriver> m_driver;
  QSocketNotifier* m_notifier = nullptr;
  QTimer* m_timer = nullptr;

  WebApiFetch* m_fetch = nullptr;
  std::vector<MasterAddress> m_webApiAddresses;
  std::string m_webApiStatus;
};

}  // namespace vantrix

#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include <QObject>
#include <QTimer>

#include "client/TableCheckRun.h"
#include "core/table/ListChangeTracker.h"

namespace vantrix {

class ThreadedHostLookups;

// Runs a TableCheckRun from the main window's event loop: a timer steps it when it has
// work, the window hands it the datagrams it claims, and host names are looked up on
// threads whose answers come back as queued events. Nothing here waits.
class TableCheckDriver final : public QObject {
 public:
  TableCheckDriver(ServerTable& table, StatusLine& status, TickClock& clock, DatagramSender& sender);
  ~TableCheckDriver() override;
  TableCheckDriver(const TableCheckDriver&) = delete;
  TableCheckDriver& operator=(const TableCheckDriver&) = delete;

  // Starts a run over the rows present now; a run in progress is stopped first.
  void Start(const TableCheckSetup& setup);
  void Stop();
  // Called when a run has checked all its rows (not when it is stopped).
  void SetFinished(std::function<void()> finished) { m_finished = std::move(finished); }
  // Told true when a run starts and false when it ends, however it ends.
  void SetRunningChanged(std::function<void(bool)> changed) { m_runningChanged = std::move(changed); }
  bool Running() const { return m_run != nullptr; }
  // A run in progress that is a quiet refresh (auto refresh) rather than the user's check.
  bool RefreshRunning() const { return m_run != nullptr && m_quiet; }

  // Hands the run a datagram that answers one of its requests; false for any other
  // datagram, which is left to the window's own handler. With `lateCopies` a late copy from a
  // server the run has finished (TableCheckRun::IsLateCopy) is taken too, and dropped.
  bool TakeDatagram(std::string_view senderIp, std::uint16_t senderPort, std::string_view datagram,
                    std::uint32_t arrivalTick, bool lateCopies);

  // The tracker whose changes a quiet refresh's cells must not count (an auto refresh is no
  // edit of the user's list); null while the window has none.
  void SetChangeTracker(ListChangeTracker* tracker) { m_changes = tracker; }

  // The run in progress, or null (tests and benchmarks).
  const TableCheckRun* Run() const { return m_run.get(); }

 private:
  void Step();
  void Rearm();
  void Release();
  // Holds a quiet scope on the change tracker while a refresh writes cells.
  void QuietWrites(std::optional<ListChangeTracker::QuietScope>& scope);

  ServerTable& m_table;
  StatusLine& m_status;
  TickClock& m_clock;
  DatagramSender& m_sender;
  QTimer m_timer;
  bool m_quiet = false;
  ListChangeTracker* m_changes = nullptr;
  // The lookups go after the run that asks them, and before it is made anew.
  std::unique_ptr<ThreadedHostLookups> m_lookups;
  std::unique_ptr<TableCheckRun> m_run;
  std::function<void()> m_finished;
  std::function<void(bool)> m_runningChanged;
};

}  // namespace vantrix

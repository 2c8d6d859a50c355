#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "client/CheckScheduler.h"
#include "client/HostLookups.h"
#include "client/SenderTransport.h"
#include "core/protocol/QueryProtocol.h"
#include "core/query/DatagramSender.h"
#include "core/table/RowCheckFacts.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"
#include "core/time/TickClock.h"
#include "core/time/TickMicrosecondClock.h"

namespace vantrix {

struct TableCheckSetup {
  QueryProtocol protocol = QueryProtocol::kOriginal;
  std::string defaultPortText;  // for addresses without ":"; empty means 27015
  bool progress = true;
  int maxParallel = kDefaultMaxParallel;
  std::uint32_t timeoutMs = 400;
  int retries = 1;
  int maxChallengeRounds = 2;
  // Sends per step, so that the thread that drives the run also gets to its other work.
  std::size_t sendsPerStep = 256;
  // Rows taken into the run per step: a long list is taken in slices, so that starting a
  // run of 100,000 rows never holds the thread for long.
  std::size_t rowsPerStep = 2048;
  // Only these rows (a refresh of the watched rows); every row when empty.
  std::vector<RowId> rows;
  // Also asks each server for its players (they reach the observer, not the cells).
  bool players = false;
  // A refresh in the background: nothing in the message panel, "Idle..." included.
  bool quiet = false;
  // A row for which it is true is not written (the row being edited).
  std::function<bool(RowId)> holdRow;
  // Told of every row's finished check, written or held, with the row's address then.
  std::function<void(RowId, std::string_view address, const CheckResult&)> observer;
  // Where the run notes the addresses host names resolved to and the game ports replies
  // announced; null notes nothing.
  RowCheckFacts* facts = nullptr;
};

// Checks every row of the table that is there at Start, in parallel, with the checker's
// scheduler, from a thread that also runs a window: nothing here waits. The owner calls
// Step when NextStepInMs has come (or after Receive and after a lookup answer), and hands
// Receive every datagram for which Claims is true; other datagrams are not the run's.
//
// Rows are followed by identity: a row deleted meanwhile is never written, a moved row
// gets its own result, rows added later are not queried. Rows with the same address are
// asked once and all get the answer. Results are written in batches (at most one per
// kWritePeriodMs), with the cells and encodings of a single check; a row that never
// answers gets W "-" and keeps its other cells. Every cell the run writes is written in
// WriteResult and MarkFailed, which also tell the setup's observer. Progress goes to the message panel as
// "Checking servers: " done "/" total, at most every kProgressPeriodMs, and "Idle..." ends
// the run, also when it is stopped.
class TableCheckRun {
 public:
  static constexpr std::uint32_t kWritePeriodMs = 50;
  static constexpr std::uint32_t kProgressPeriodMs = 100;

  TableCheckRun(ServerTable& table, StatusLine& status, TickClock& clock, DatagramSender& sender,
                HostLookups& lookups, TableCheckSetup setup);
  TableCheckRun(const TableCheckRun&) = delete;
  TableCheckRun& operator=(const TableCheckRun&) = delete;

  // Takes the rows present now (the first slice of them into the scheduler, the others at
  // the following steps), asks for their host names to be looked up and shows the first
  // progress. Nothing is sent before the first Step.
  void Start();
  void Step();
  // Stops at once: rows whose answer was decoded get it, the others keep their cells.
  void Stop();

  bool Claims(std::uint32_t address, std::uint16_t port) const;
  // A datagram from a server whose check this run has ended already (a copy that answers a
  // retry, or a duplicate): while the run goes on it is no news, and it must not reach the
  // single check, which would time it from a request it never sent.
  bool IsLateCopy(std::uint32_t address, std::uint16_t port) const;
  void Receive(std::uint32_t address, std::uint16_t port, std::string_view datagram,
               std::uint32_t arrivalTick);

  // In how many milliseconds Step has work: 0 for now, nullopt when only a datagram or a
  // lookup answer can bring some (or the run is over).
  std::optional<std::uint32_t> NextStepInMs();

  bool Finished() const { return m_finished; }
  std::size_t Total() const { return m_total; }
  std::size_t DoneRows() const { return m_doneRows; }
  const CheckScheduler& Scheduler() const { return m_scheduler; }

 private:
  struct Waiting {  // a row whose host name is being looked up
    RowId row;
    std::uint16_t port;
    std::string portText;
  };
  struct JobRows {
    std::vector<RowId> rows;
    std::string host;  // as the first row gives it, for the error text
    std::string portText;
    IPv4Endpoint endpoint;
    bool written = false;  // its result is in the table
  };

  void AddRow(RowId row, std::string_view address);
  // Takes the next slice of the rows collected at Start into the scheduler; a row deleted
  // before its slice counts as done, unasked.
  void TakeRows();
  bool AllRowsTaken() const { return m_nextRow == m_rows.size(); }
  void Queue(RowId row, std::uint32_t address, std::uint16_t port, const std::string& host,
             const std::string& portText);
  void TakeLookups();
  void Collect();
  void WriteResults();
  void WriteResult(const CheckResult& result, RowId row, const IPv4Endpoint& endpoint);
  void NoteResolved(RowId row, std::uint32_t address);
  void MarkFailed(RowId row, const std::string& host, const std::string& portText);
  void ShowError(const std::string& host, const std::string& portText);
  void ShowProgress(bool force);
  void End();
  std::uint32_t Now() { return m_clock.Ticks(); }

  ServerTable& m_table;
  StatusLine& m_status;
  TickClock& m_clock;
  HostLookups& m_lookups;
  TableCheckSetup m_setup;
  TickMicrosecondClock m_microseconds;
  SenderTransport m_transport;
  CheckScheduler m_scheduler;

  std::vector<RowId> m_rows;  // the rows of the run, in table order
  std::size_t m_nextRow = 0;  // the first of them not yet in the scheduler
  std::vector<JobRows> m_rowsOfJob;
  std::unordered_map<std::string, std::vector<Waiting>> m_waiting;  // by host name
  std::vector<std::size_t> m_toWrite;                               // finished jobs
  std::size_t m_total = 0;
  std::size_t m_doneRows = 0;
  std::size_t m_shownDone = SIZE_MAX;
  std::int32_t m_lastPlayers = 0;
  std::int32_t m_lastMaxPlayers = 0;
  std::uint32_t m_lastWrite = 0;
  std::uint32_t m_lastProgress = 0;
  bool m_started = false;
  bool m_finished = false;
  bool m_errorShown = false;
};

}  // namespace vantrix

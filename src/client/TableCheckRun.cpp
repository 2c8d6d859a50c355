#include "client/TableCheckRun.h"

#include <algorithm>
#include <utility>

#include "core/query/ServerInfoCells.h"
#include "core/util/StrToInt.h"
#include "core/util/Texts.h"
#include "net/HostLookup.h"
#include "net/IPv4Text.h"

namespace vantrix {

namespace {

constexpr const char* kFallbackPort = "27015";

CheckPlan PlanOf(const TableCheckSetup& setup) {
  CheckPlan plan;
  plan.protocol = setup.protocol;
  plan.maxParallel = setup.maxParallel;
  plan.timeoutUs = std::uint64_t{std::max<std::uint32_t>(setup.timeoutMs, 1)} * 1000;
  plan.retries = setup.retries;
  plan.maxChallengeRounds = setup.maxChallengeRounds;
  plan.players = setup.players;
  return plan;
}

std::uint32_t Remaining(std::int32_t elapsed, std::uint32_t period) {
  return elapsed >= static_cast<std::int32_t>(period)
             ? 0
             : period - static_cast<std::uint32_t>(std::max(elapsed, 0));
}

}  // namespace

TableCheckRun::TableCheckRun(ServerTable& table, StatusLine& status, TickClock& clock, DatagramSender& sender,
                             HostLookups& lookups, TableCheckSetup setup)
    : m_table(table),
      m_status(status),
      m_clock(clock),
      m_lookups(lookups),
      m_setup(std::move(setup)),
      m_microseconds(clock),
      m_transport(sender),
      m_scheduler({}, PlanOf(m_setup), m_transport, m_microseconds) {}

void TableCheckRun::Start() {
  if (m_started) return;
  m_started = true;
  m_lastWrite = m_lastProgress = Now();
  const std::size_t wanted =
      m_setup.rows.empty() ? static_cast<std::size_t>(m_table.Count()) : m_setup.rows.size();
  m_scheduler.Reserve(wanted);
  m_rowsOfJob.reserve(wanted);
  m_rows.reserve(wanted);
  if (m_setup.rows.empty()) {
    const int count = m_table.Count();
    for (int position = 0; position < count; ++position) m_rows.push_back(m_table.IdOf(position));
  } else {
    for (RowId row : m_setup.rows)
      if (m_table.PositionOf(row)) m_rows.push_back(row);
  }
  m_total = m_rows.size();
  TakeRows();
  ShowProgress(!m_errorShown);
  if (m_scheduler.Servers() == 0 && m_waiting.empty() && AllRowsTaken()) End();
}

void TableCheckRun::TakeRows() {
  const std::size_t end = std::min(m_rows.size(), m_nextRow + std::max<std::size_t>(m_setup.rowsPerStep, 1));
  for (; m_nextRow < end; ++m_nextRow) {
    const RowId row = m_rows[m_nextRow];
    if (const auto position = m_table.PositionOf(row))
      AddRow(row, m_table.Address(*position));
    else
      ++m_doneRows;  // deleted before it was asked
  }
}

// The address is read as the single check reads it: host before the first ":", the port
// text after it, the DefaultPort setting when there is no ":".
void TableCheckRun::AddRow(RowId row, std::string_view address) {
  if (address.empty()) {  // the single check sends nothing for it either
    ++m_doneRows;
    return;
  }
  // The parts are copied out (short enough to need no allocation): the view into the table
  // is not held past them.
  const std::size_t colon = address.find(':');
  const std::string host(address.substr(0, colon));
  std::string portText;
  if (colon == std::string_view::npos)
    portText = m_setup.defaultPortText.empty() ? kFallbackPort : m_setup.defaultPortText;
  else
    portText = address.substr(colon + 1);
  const auto port = TryStrToInt(portText);
  if (!port || *port < 1 || *port > 65535 || host.empty()) {
    MarkFailed(row, host, portText);
    return;
  }
  const auto portNumber = static_cast<std::uint16_t>(*port);
  if (const auto literal = LiteralHostAddress(host)) {
    Queue(row, *literal, portNumber, host, portText);
  } else {
    auto [waiting, first] = m_waiting.try_emplace(host);
    waiting->second.push_back({row, portNumber, portText});
    if (first) m_lookups.Request(host);
  }
}

void TableCheckRun::Queue(RowId row, std::uint32_t address, std::uint16_t port, const std::string& host,
                          const std::string& portText) {
  const std::size_t job = m_scheduler.JobOf(m_scheduler.Add({address, port}));
  if (job >= m_rowsOfJob.size()) m_rowsOfJob.resize(job + 1);
  JobRows& rows = m_rowsOfJob[job];
  if (rows.rows.empty() && !rows.written) {
    rows.host = host;
    rows.portText = portText;
    rows.endpoint = {address, port};
  }
  rows.rows.push_back(row);
  if (rows.written) {  // a name that resolved late to a server already answered
    WriteResult(m_scheduler.ResultOfJob(job), row, rows.endpoint);
    ++m_doneRows;
  }
}

void TableCheckRun::TakeLookups() {
  for (auto& [host, result] : m_lookups.TakeDone()) {
    auto it = m_waiting.find(host);
    if (it == m_waiting.end()) continue;
    const std::vector<Waiting> rows = std::move(it->second);
    m_waiting.erase(it);
    for (const Waiting& waiting : rows) {
      if (result.status == ResolveStatus::Found) {
        NoteResolved(waiting.row, result.address);
        Queue(waiting.row, result.address, waiting.port, host, waiting.portText);
      } else {
        MarkFailed(waiting.row, host, waiting.portText);
      }
    }
  }
}

void TableCheckRun::Step() {
  if (!m_started || m_finished) return;
  if (!AllRowsTaken()) TakeRows();
  TakeLookups();
  m_scheduler.Advance(m_setup.sendsPerStep);
  Collect();
  const bool over = m_scheduler.Done() && m_waiting.empty() && AllRowsTaken();
  if (!m_toWrite.empty() &&
      (over || TickDifference(Now(), m_lastWrite) >= static_cast<std::int32_t>(kWritePeriodMs)))
    WriteResults();
  if (over) {
    End();
    return;
  }
  ShowProgress(false);
}

void TableCheckRun::Stop() {
  if (!m_started || m_finished) return;
  Collect();
  End();
}

bool TableCheckRun::Claims(std::uint32_t address, std::uint16_t port) const {
  return m_started && !m_finished && m_scheduler.Expects({address, port});
}

bool TableCheckRun::IsLateCopy(std::uint32_t address, std::uint16_t port) const {
  return m_started && !m_finished && !m_scheduler.Expects({address, port}) &&
         m_scheduler.Asked({address, port});
}

void TableCheckRun::Receive(std::uint32_t address, std::uint16_t port, std::string_view datagram,
                            std::uint32_t arrivalTick) {
  if (!m_started || m_finished) return;
  m_scheduler.Receive({address, port}, datagram, m_microseconds.TickUs(arrivalTick));
  Collect();
}

std::optional<std::uint32_t> TableCheckRun::NextStepInMs() {
  if (!m_started || m_finished) return std::nullopt;
  std::optional<std::uint32_t> next;
  const auto consider = [&next](std::uint32_t ms) { next = next ? std::min(*next, ms) : ms; };
  if ((m_scheduler.Done() && m_waiting.empty()) || !AllRowsTaken()) consider(0);
  const std::uint64_t nowUs = m_microseconds.NowUs();
  if (auto wake = m_scheduler.NextWakeUs())
    consider(*wake <= nowUs ? 0 : static_cast<std::uint32_t>((*wake - nowUs + 999) / 1000));
  const std::uint32_t now = Now();
  if (!m_toWrite.empty()) consider(Remaining(TickDifference(now, m_lastWrite), kWritePeriodMs));
  if (m_setup.progress && !m_setup.quiet && m_doneRows != m_shownDone)
    consider(Remaining(TickDifference(now, m_lastProgress), kProgressPeriodMs));
  return next;
}

void TableCheckRun::Collect() {
  for (std::size_t job : m_scheduler.TakeFinished()) m_toWrite.push_back(job);
}

void TableCheckRun::WriteResults() {
  m_lastWrite = Now();
  for (std::size_t job : std::exchange(m_toWrite, {})) {
    JobRows& rows = m_rowsOfJob[job];
    rows.written = true;
    const CheckResult& result = m_scheduler.ResultOfJob(job);
    for (RowId row : rows.rows) WriteResult(result, row, rows.endpoint);
    m_doneRows += rows.rows.size();
    if (result.status == CheckStatus::kError && !result.info && result.error.starts_with(kSendFailed))
      ShowError(rows.host, rows.portText);
  }
}

// The cells and encodings of a single check's reply; a row that was deleted takes nothing.
void TableCheckRun::WriteResult(const CheckResult& result, RowId row, const IPv4Endpoint& endpoint) {
  const auto position = m_table.PositionOf(row);
  if (!position) return;
  if (m_setup.observer) m_setup.observer(row, m_table.Address(*position), result);
  if (m_setup.holdRow && m_setup.holdRow(row)) return;
  if (!result.info) {
    m_table.SetCell(*position, kWCell, "-");
    return;
  }
  const ServerInfo& info = *result.info;
  if (m_setup.facts) {
    m_setup.facts->Prune(m_table);
    m_setup.facts->NoteGamePort(row, m_table.Address(*position), info.gamePort, endpoint.port);
  }
  m_table.SetCell(*position, kPingCell, std::to_string(PingMilliseconds(result).value_or(0)));
  m_table.SetCell(*position, kWCell, "+");
  WriteServerInfoCells(m_table, *position, info, m_lastPlayers, m_lastMaxPlayers);
}

void TableCheckRun::NoteResolved(RowId row, std::uint32_t address) {
  if (!m_setup.facts) return;
  if (const auto position = m_table.PositionOf(row))
    m_setup.facts->NoteResolved(row, m_table.Address(*position), FormatIPv4(address));
}

void TableCheckRun::MarkFailed(RowId row, const std::string& host, const std::string& portText) {
  if (auto position = m_table.PositionOf(row)) {
    if (m_setup.observer) {
      CheckResult failed;
      failed.status = CheckStatus::kError;
      m_setup.observer(row, m_table.Address(*position), failed);
    }
    if (!m_setup.holdRow || !m_setup.holdRow(row)) m_table.SetCell(*position, kWCell, "-");
  }
  ++m_doneRows;
  ShowError(host, portText);
}

void TableCheckRun::ShowError(const std::string& host, const std::string& portText) {
  if (m_errorShown || m_setup.quiet) return;
  m_errorShown = true;
  m_status.SetMessage("Error: Sending error to " + host + ":" + portText);
  // The error stays up for one progress period before the count replaces it.
  m_lastProgress = Now();
}

void TableCheckRun::ShowProgress(bool force) {
  if (!m_setup.progress || m_setup.quiet || m_doneRows == m_shownDone) return;
  const std::uint32_t now = Now();
  if (!force && TickDifference(now, m_lastProgress) < static_cast<std::int32_t>(kProgressPeriodMs)) return;
  m_status.SetMessage("Checking servers: " + std::to_string(m_doneRows) + "/" + std::to_string(m_total));
  m_shownDone = m_doneRows;
  m_lastProgress = now;
}

void TableCheckRun::End() {
  WriteResults();
  m_finished = true;
  if (!m_setup.quiet) m_status.SetMessage(kIdleText);
}

}  // namespace vantrix

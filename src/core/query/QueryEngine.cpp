#include "core/query/QueryEngine.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <stdexcept>
#include <vector>

#include "core/protocol/CurrentRequests.h"
#include "core/protocol/InfoRequest.h"
#include "core/protocol/OriginalInfoReply.h"
#include "core/protocol/ServerInfo.h"
#include "core/protocol/SplitPartHeader.h"
#include "core/query/ServerInfoCells.h"
#include "core/settings/SettingsNumbers.h"
#include "core/util/StrToInt.h"
#include "core/util/Texts.h"

namespace vantrix {

namespace {

constexpr const char* kPlus = "+";
constexpr const char* kMinus = "-";
constexpr std::size_t kTimingsReserve = 50000;

std::string PlayersText(std::int32_t players, std::int32_t maxPlayers) {
  return std::to_string(players) + "/" + std::to_string(maxPlayers);
}

}  // namespace

// Counts the check commands in progress; a command beyond the bound does nothing.
class QueryEngine::DepthGuard {
 public:
  explicit DepthGuard(QueryEngine& engine) : m_engine(engine) {
    m_entered = !engine.m_quitting && engine.m_checkDepth < kMaxCheckDepth;
    if (m_entered) ++m_engine.m_checkDepth;
  }
  ~DepthGuard() {
    if (m_entered) --m_engine.m_checkDepth;
  }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
  bool Entered() const { return m_entered; }

 private:
  QueryEngine& m_engine;
  bool m_entered = false;
};

// Keeps a current-protocol query in the list of waits for as long as it waits.
class QueryEngine::PendingGuard {
 public:
  PendingGuard(QueryEngine& engine, PendingQuery& query) : m_engine(engine), m_query(query) {
    m_engine.m_pending.push_back(&m_query);
  }
  ~PendingGuard() { std::erase(m_engine.m_pending, &m_query); }
  PendingGuard(const PendingGuard&) = delete;
  PendingGuard& operator=(const PendingGuard&) = delete;

 private:
  QueryEngine& m_engine;
  PendingQuery& m_query;
};

QueryEngine::QueryEngine(ServerTable& table, StatusLine& status, const SettingsReader& settings,
                         TickClock& clock, Sleeper& sleeper, EventPump& pump, OneShotTimer& timer,
                         DatagramSender& sender, PacketLogFn logPacket)
    : m_table(table),
      m_status(status),
      m_settings(settings),
      m_clock(clock),
      m_sleeper(sleeper),
      m_pump(pump),
      m_timer(timer),
      m_sender(sender),
      m_logPacket(std::move(logPacket)) {
  m_timings.reserve(kTimingsReserve);
}

std::uint32_t QueryEngine::UdpDelayMilliseconds(std::string_view text) {
  return static_cast<std::uint32_t>(vantrix::UdpDelayMilliseconds(text));
}

std::uint32_t QueryEngine::SendTime(RowId row) const {
  auto it = m_timings.find(row);
  return it == m_timings.end() ? 0 : it->second.sent;
}

std::uint32_t QueryEngine::ReceiveTime(RowId row) const {
  auto it = m_timings.find(row);
  return it == m_timings.end() ? 0 : it->second.received;
}

QueryEngine::RowTiming& QueryEngine::TimingOf(RowId row) {
  auto it = m_timings.find(row);
  if (it != m_timings.end()) return it->second;
  PruneTimings();
  return m_timings[row];
}

// Entries of deleted rows are dropped once they outnumber the rows, so the storage
// follows the table's size rather than the number of rows ever queried.
void QueryEngine::PruneTimings() {
  const std::size_t limit = 2 * static_cast<std::size_t>(m_table.Count()) + 1024;
  if (m_timings.size() < limit) return;
  std::erase_if(m_timings, [this](const auto& entry) { return !m_table.PositionOf(entry.first); });
}

void QueryEngine::QueryServer(const std::string& address, RowId row) {
  if (m_quitting || address.empty()) return;

  std::string host = address;
  std::string portText;
  const std::size_t colon = address.find(':');
  if (colon == std::string::npos) {
    portText = m_settings.Snapshot().defaultPort;
    if (portText.empty()) portText = kFallbackPort;
  } else {
    host = address.substr(0, colon);
    portText = address.substr(colon + 1);
  }

  if (m_checkAllActive && row != kNoRow) TimingOf(row).sent = m_clock.Ticks();
  m_lastSendTime = m_clock.Ticks();
  m_awaitingReply = true;
  m_timedOut = false;
  m_timer.Stop();
  m_timer.Start(kTimeoutMilliseconds);

  if (!Current()) {
    NoteResolved(row, address, Send(host, portText, kInfoRequest));
    Wait(row, nullptr);
    return;
  }
  PendingQuery query;
  query.row = row;
  query.host = host;
  query.portText = portText;
  query.asked = Send(host, portText, query.exchange.Request());
  NoteResolved(row, address, query.asked);
  PendingGuard pending(*this, query);
  Wait(row, &query);
}

bool QueryEngine::Current() const {
  return m_settings.Snapshot().queryProtocol == QueryProtocol::kCurrent;
}

std::string QueryEngine::Send(const std::string& host, const std::string& portText,
                              std::string_view request) {
  try {
    const auto port = TryStrToInt(portText);
    if (!port) throw std::invalid_argument("port is not an integer");
    return m_sender.Send(host, *port, request) + ":" + std::to_string(*port);
  } catch (const std::exception&) {
    // Resolution and socket errors alike: the wait below ends with the time-out.
    m_status.SetMessage("Error: Sending error to " + host + ":" + portText);
  }
  return {};
}

// Polls in slices so that replies, the timer's tick and the user's commands run
// between them; who wins between a reply and the time-out depends on this order.
void QueryEngine::Wait(RowId row, const PendingQuery* query) {
  while (query ? !query->answered : m_awaitingReply) {
    m_sleeper.Sleep(UdpDelayMilliseconds(m_settings.Snapshot().udpDelay));
    m_pump.ProcessEvents();
    if (m_quitting) return;
    if (m_timedOut) {
      MarkTimedOut(row);
      break;
    }
  }
  m_pump.ProcessEvents();
}

void QueryEngine::MarkTimedOut(RowId row) {
  if (auto position = m_table.PositionOf(row)) m_table.SetCell(*position, kWCell, kMinus);
}

void QueryEngine::Timer1Timer() {
  m_timedOut = true;
  m_timer.Stop();
}

void QueryEngine::CountDatagram() {
  // Wraps like the 32-bit counter it is, without signed overflow.
  m_receivedCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(m_receivedCount) + 1u);
  m_status.SetStatus(StatusLine::kReceivedPanel, "recv " + std::to_string(m_receivedCount));
}

void QueryEngine::OnDatagram(std::string_view bytes, std::string_view senderIp, std::uint16_t senderPort,
                             std::uint32_t arrivalTick) {
  if (!LogAndCount(bytes)) return;
  const bool current = Current();
  const char type = ReplyType(m_datagram);
  const bool info = type == kInfoReplyType || (current && type == kCurrentInfoReplyType);
  const bool exchange = current && (type == kChallengeReplyType || IsSplitPart(m_datagram));
  if (!info && !exchange) return;

  std::string sender;
  sender.reserve(senderIp.size() + 6);
  sender.append(senderIp).append(":").append(std::to_string(senderPort));
  if (!current) {
    if (auto match = m_table.FindRowByAddress(sender)) m_currentRow = m_table.IdOf(*match);
    // A row removed since it was queried takes nothing, and the wait goes on.
    if (auto position = m_table.PositionOf(m_currentRow))
      WriteOriginalReply(*position, m_datagram, arrivalTick);
    return;
  }

  // The current protocol: the server a waiting query asked goes through that query's
  // exchange (challenges, split parts); a whole reply from anyone else is taken only when
  // it comes from a row's address.
  PendingQuery* query = AskedFrom(sender);
  std::string whole;
  std::string_view reply = m_datagram;
  if (query) {
    ChallengeExchange::Outcome outcome = query->exchange.Take(m_datagram);
    if (outcome.step == ChallengeExchange::Step::kSendAgain) {
      SendAgain(*query);
      return;
    }
    if (outcome.step != ChallengeExchange::Step::kReply) return;
    whole = std::move(outcome.reply);
    reply = whole;
  } else if (exchange) {
    return;
  }
  if (auto match = m_table.FindRowByAddress(sender)) {
    m_currentRow = m_table.IdOf(*match);
  } else if (query) {
    // Only the server a waiting query asked may stand for its row (one listed by name).
    m_currentRow = query->row;
  } else {
    return;
  }
  if (auto position = m_table.PositionOf(m_currentRow))
    WriteCurrentReply(*position, reply, arrivalTick, senderPort);
}

// A host name's address at its last check decides the row's country; a literal is its own.
void QueryEngine::NoteResolved(RowId row, const std::string& address, const std::string& asked) {
  if (!m_facts || row == kNoRow || asked.empty()) return;
  const std::string_view ip = std::string_view(asked).substr(0, asked.rfind(':'));
  if (ip == std::string_view(address).substr(0, address.find(':'))) return;
  m_facts->Prune(m_table);
  m_facts->NoteResolved(row, address, ip);
}

bool QueryEngine::LogAndCount(std::string_view bytes) {
  if (m_quitting) return false;
  try {
    m_datagram.assign(bytes);
  } catch (const std::exception&) {
    m_status.SetMessage("Error: Buffer overflow/buffer is full");
    return false;
  }
  if (m_settings.Snapshot().packetLog && m_logPacket) m_logPacket(m_datagram);
  CountDatagram();
  return true;
}

// The arrival reading is the honest one; it can only be earlier than the send reading
// when the datagram arrived before a later request went out, and then the handler's own
// reading is taken so that no ping is negative.
std::uint32_t QueryEngine::ReceiveReading(std::uint32_t arrivalTick, std::uint32_t sentAt) {
  if (TickDifference(arrivalTick, sentAt) < 0) return m_clock.Ticks();
  return arrivalTick;
}

void QueryEngine::WritePing(int position, std::uint32_t arrivalTick) {
  std::int32_t ping = 0;
  if (m_checkAllActive) {
    RowTiming& timing = TimingOf(m_currentRow);
    timing.received = ReceiveReading(arrivalTick, timing.sent);
    ping = TickDifference(timing.received, timing.sent);
  } else {
    m_lastReceiveTime = ReceiveReading(arrivalTick, m_lastSendTime);
    ping = TickDifference(m_lastReceiveTime, m_lastSendTime);
  }
  m_table.SetCell(position, kPingCell, std::to_string(ping));
  m_table.SetCell(position, kWCell, kPlus);
}

void QueryEngine::WriteOriginalReply(int position, std::string_view datagram, std::uint32_t arrivalTick) {
  WritePing(position, arrivalTick);
  const auto reply = DecodeOriginalInfoReply(datagram, InfoReading::kOriginalWindow);
  if (!reply || !reply->hasTexts) return;  // the wait goes on until the time-out

  m_table.SetCell(position, kNameCell, std::string(reply->serverName));
  m_table.SetCell(position, kMapCell, std::string(reply->map));
  if (reply->players) m_lastPlayers = *reply->players;
  if (reply->maxPlayers) m_lastMaxPlayers = *reply->maxPlayers;
  m_table.SetCell(position, kPlayersCell, PlayersText(m_lastPlayers, m_lastMaxPlayers));
  if (reply->typeLetter) m_table.SetCell(position, kDCell, std::string(1, *reply->typeLetter));
  if (reply->osLetter) m_table.SetCell(position, kSCell, std::string(1, *reply->osLetter));
  if (reply->password) m_table.SetCell(position, kPCell, *reply->password ? kPlus : kMinus);
  // An original reply tells no game port: the one a current reply told before is gone.
  if (m_facts) {
    m_facts->Prune(m_table);
    m_facts->NoteGamePort(m_currentRow, m_table.Address(position), std::nullopt, 0);
  }
  m_awaitingReply = false;
}

// Read exactly, as the checker reads it: a reply it refuses changes nothing, and the wait
// goes on until the time-out.
void QueryEngine::WriteCurrentReply(int position, std::string_view datagram, std::uint32_t arrivalTick,
                                    std::uint16_t senderPort) {
  const auto info = DecodeServerInfo(datagram);
  if (!info) return;
  WritePing(position, arrivalTick);
  WriteServerInfoCells(m_table, position, *info, m_lastPlayers, m_lastMaxPlayers);
  // The game port is kept for joining only: not a cell, not saved.
  if (m_facts) {
    m_facts->Prune(m_table);
    m_facts->NoteGamePort(m_currentRow, m_table.Address(position), info->gamePort, senderPort);
  }
  m_awaitingReply = false;
  for (PendingQuery* query : m_pending)
    if (query->row == m_currentRow) query->answered = true;
}

QueryEngine::PendingQuery* QueryEngine::AskedFrom(std::string_view sender) {
  for (auto it = m_pending.rbegin(); it != m_pending.rend(); ++it)
    if (!(*it)->answered && !(*it)->asked.empty() && (*it)->asked == sender) return *it;
  return nullptr;
}

// A challenge from the server asked sends the request again with it, within the same wait
// and time-out.
void QueryEngine::SendAgain(PendingQuery& query) {
  // The ping counts from the send that the reply answers.
  if (m_checkAllActive && query.row != kNoRow) TimingOf(query.row).sent = m_clock.Ticks();
  m_lastSendTime = m_clock.Ticks();
  Send(query.host, query.portText, query.exchange.Request());
}

void QueryEngine::CheckServer() {
  DepthGuard guard(*this);
  if (!guard.Entered()) return;
  const int selected = m_table.SelectedIndex();
  if (selected < 0) {
    // No row now: a reply from an address that matches no row is dropped, not written
    // into the row that was checked last.
    m_currentRow = kNoRow;
    return;
  }
  const RowId row = m_table.IdOf(selected);
  m_currentRow = row;

  if (m_table.Cell(selected, kWCell) != kPlus) {
    for (int cell : {kNameCell, kMapCell, kPingCell, kPlayersCell, kWCell, kDCell, kSCell, kPCell})
      m_table.SetCell(selected, cell, kBlank);
  }
  const std::string address(m_table.Address(selected));
  m_status.SetMessage("Checking server " + address + "...");
  QueryServer(address, row);
  if (m_quitting) return;
  m_status.SetMessage(kIdleText);
}

void QueryEngine::DoubleClick() {
  if (m_table.SelectedIndex() < 0 || !m_settings.Snapshot().connect) return;
  CheckServer();
}

void QueryEngine::CheckAll() {
  DepthGuard guard(*this);
  if (!guard.Entered()) return;
  // The rows present now, in their order: step k asks the k-th of them wherever a sort has
  // moved it since, so a header click during the run neither skips nor repeats a server.
  std::vector<RowId> rows;
  rows.reserve(static_cast<std::size_t>(m_table.Count()));
  for (int position = 0; position < m_table.Count(); ++position) rows.push_back(m_table.IdOf(position));
  const int steps = static_cast<int>(rows.size());
  m_runPosition = 0;
  for (int step = 0; step < steps; ++step) {
    m_checkAllActive = true;
    if (m_settings.Snapshot().progress) {
      m_status.SetMessage("Checking servers: " + std::to_string(m_runPosition) + "/" +
                          std::to_string(m_table.Count()));
      m_pump.ProcessEvents();
      if (m_quitting) return;
    }
    // RunPosition is shared with nested runs and may have moved past this run's rows; a row
    // deleted since the run began is skipped.
    std::optional<int> position;
    if (m_runPosition >= 0 && m_runPosition < steps) position = m_table.PositionOf(rows[m_runPosition]);
    if (position) {
      const RowId row = rows[m_runPosition];
      m_currentRow = row;
      const std::string address(m_table.Address(*position));
      QueryServer(address, row);
      if (m_quitting) return;
    } else {
      m_currentRow = kNoRow;
    }
    ++m_runPosition;
  }
  m_checkAllActive = false;
  m_status.SetMessage(kIdleText);
}

void QueryEngine::ResetForShow() {
  m_receivedCount = 0;
  m_checkAllActive = false;
}

}  // namespace vantrix

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/protocol/ChallengeExchange.h"
#include "core/query/DatagramSender.h"
#include "core/query/EventPump.h"
#include "core/query/OneShotTimer.h"
#include "core/query/Sleeper.h"
#include "core/settings/SettingsReader.h"
#include "core/table/RowCheckFacts.h"
#include "core/table/ServerRow.h"
#include "core/table/ServerTable.h"
#include "core/table/StatusLine.h"
#include "core/time/TickClock.h"
#include "core/util/QueryDefaults.h"

namespace vantrix {

// The main window's info query: QueryServer with its wait, the datagram handler that
// decodes replies into rows, the time-out tick and the check commands. Everything runs
// on the main thread; the waits let the event pump run, and so re-enter this object.
//
// Rows are held by identity (RowId), never by position, so a sort or a deletion during
// a wait cannot redirect a write to another server's row. RunPosition is the step count
// of the check-all run in progress, shared by nested runs; each run asks, at step k, the
// k-th of the rows it found at its start.
//
// The protocol setting is read at each query and each datagram. In the original protocol
// any decoded reply ends the running wait. In the current one the request may be answered
// by a challenge, sent back within the same wait and time-out, and by a split reply, put
// back together; the reply is read exactly as the checker reads it (the same decoder); it
// ends only the wait of the row it answers; and a reply or challenge from an address that
// was never asked and is no row's address changes nothing.
class QueryEngine {
 public:
  static constexpr std::uint32_t kTimeoutMilliseconds = kQueryTimeoutMs;
  // Check commands nested deeper than this are ignored (a held F9 key repeats).
  static constexpr int kMaxCheckDepth = 32;
  static constexpr std::string_view kFallbackPort = kDefaultPortText;
  // Challenge rounds per query in the current protocol; a server that keeps challenging
  // ends with the time-out.
  static constexpr int kMaxChallengeRounds = 2;

  // Receives every datagram when PacketLog is on, before it is counted.
  using PacketLogFn = std::function<void(const std::string& datagram)>;

  QueryEngine(ServerTable& table, StatusLine& status, const SettingsReader& settings, TickClock& clock,
              Sleeper& sleeper, EventPump& pump, OneShotTimer& timer, DatagramSender& sender,
              PacketLogFn logPacket);
  QueryEngine(const QueryEngine&) = delete;
  QueryEngine& operator=(const QueryEngine&) = delete;

  // Sends the info request for the row and waits for a reply or the time-out.
  void QueryServer(const std::string& address, RowId row);

  // The handler for each datagram of the main endpoint. arrivalTick is the TickClock
  // reading the listener took when the datagram arrived.
  void OnDatagram(std::string_view bytes, std::string_view senderIp, std::uint16_t senderPort,
                  std::uint32_t arrivalTick);

  // A datagram of the main endpoint that another part of the window decodes: it is logged
  // and counted as OnDatagram does, and not decoded here. False when it could not be taken.
  bool LogAndCount(std::string_view bytes);

  // The tick of the time-out timer.
  void Timer1Timer();

  // "Check server" (F9, and the pop-up's "Check").
  void CheckServer();
  // A double-click on the list: "Check server" when a row is selected and Connect is on.
  void DoubleClick();
  // "Check all servers" (F10).
  void CheckAll();

  // Where each query notes the address a host name resolved to and the game port a reply
  // announced; null notes nothing.
  void SetCheckFacts(RowCheckFacts* facts) { m_facts = facts; }

  // First show of the main window: the received count and the check-all flag restart.
  void ResetForShow();

  // The program is ending: every wait and run returns without sending or writing, and
  // nothing further is started or decoded.
  void RequestQuit() { m_quitting = true; }
  bool Quitting() const { return m_quitting; }

  // The query state, for the window and the tests.
  RowId CurrentRow() const { return m_currentRow; }
  bool AwaitingReply() const { return m_awaitingReply; }
  bool TimedOut() const { return m_timedOut; }
  bool CheckAllActive() const { return m_checkAllActive; }
  std::uint32_t LastSendTime() const { return m_lastSendTime; }
  std::uint32_t LastReceiveTime() const { return m_lastReceiveTime; }
  std::uint32_t SendTime(RowId row) const;
  std::uint32_t ReceiveTime(RowId row) const;
  std::int32_t ReceivedCount() const { return m_receivedCount; }
  std::int32_t LastPlayers() const { return m_lastPlayers; }
  std::int32_t LastMaxPlayers() const { return m_lastMaxPlayers; }
  std::int32_t RunPosition() const { return m_runPosition; }
  int CheckDepth() const { return m_checkDepth; }
  std::size_t TimedRowCount() const { return m_timings.size(); }

  // The wait per pass for a UDPDelay text: 5 when not an integer, 0..999 otherwise.
  static std::uint32_t UdpDelayMilliseconds(std::string_view text);

 private:
  struct RowTiming {
    std::uint32_t sent = 0;
    std::uint32_t received = 0;
  };
  class DepthGuard;
  // A current-protocol query in its wait: whom it asked and how far its exchange got.
  struct PendingQuery {
    RowId row = kNoRow;
    std::string host;
    std::string portText;
    std::string asked;  // "ip:port" sent to; empty when the send failed
    ChallengeExchange exchange{ExchangeKind::kInfo, kMaxChallengeRounds};
    bool answered = false;
  };
  class PendingGuard;

  bool Current() const;
  void Wait(RowId row, const PendingQuery* query);
  // Gives the address sent to as "ip:port", or "" when the send failed (and was reported).
  std::string Send(const std::string& host, const std::string& portText, std::string_view request);
  PendingQuery* AskedFrom(std::string_view sender);
  void SendAgain(PendingQuery& query);
  void MarkTimedOut(RowId row);
  void WritePing(int position, std::uint32_t arrivalTick);
  void WriteOriginalReply(int position, std::string_view datagram, std::uint32_t arrivalTick);
  void WriteCurrentReply(int position, std::string_view datagram, std::uint32_t arrivalTick,
                         std::uint16_t senderPort);
  void NoteResolved(RowId row, const std::string& address, const std::string& asked);
  std::uint32_t ReceiveReading(std::uint32_t arrivalTick, std::uint32_t sentAt);
  RowTiming& TimingOf(RowId row);
  void PruneTimings();
  void CountDatagram();

  ServerTable& m_table;
  StatusLine& m_status;
  const SettingsReader& m_settings;
  TickClock& m_clock;
  Sleeper& m_sleeper;
  EventPump& m_pump;
  OneShotTimer& m_timer;
  DatagramSender& m_sender;
  PacketLogFn m_logPacket;
  RowCheckFacts* m_facts = nullptr;

  RowId m_currentRow = kNoRow;
  bool m_awaitingReply = false;
  bool m_timedOut = false;
  bool m_checkAllActive = false;
  bool m_quitting = false;
  std::uint32_t m_lastSendTime = 0;
  std::uint32_t m_lastReceiveTime = 0;
  std::int32_t m_receivedCount = 0;
  std::int32_t m_lastPlayers = 0;
  std::int32_t m_lastMaxPlayers = 0;
  std::int32_t m_runPosition = 0;
  int m_checkDepth = 0;
  std::unordered_map<RowId, RowTiming> m_timings;  // by row identity, any number of rows
  std::string m_datagram;                          // reused for every datagram
  std::vector<PendingQuery*> m_pending;            // current-protocol waits, innermost last
};

}  // namespace vantrix

#include "history/HistoryRecorder.h"

#include "core/table/ServerTable.h"
#include "core/util/StrToInt.h"

namespace vantrix {

HistoryRecorder::HistoryRecorder(const ServerTable& table, const WallClock& clock, SinkFn sink)
    : m_table(table), m_clock(&clock), m_sink(std::move(sink)) {}

std::optional<HistorySample> HistoryRecorder::SampleOf(const ServerRow& row, std::int64_t time) {
  const CellText& w = row.cells[kWCell];
  if (w != "+" && w != "-") return std::nullopt;
  HistorySample sample;
  sample.time = time;
  sample.address = row.address;
  sample.answered = w == "+";
  if (!sample.answered) return sample;
  sample.ping = TryStrToInt(row.cells[kPingCell]).value_or(0);
  const std::string_view players = row.cells[kPlayersCell];
  const auto slash = players.find('/');
  if (slash != std::string_view::npos) {
    sample.players = TryStrToInt(players.substr(0, slash)).value_or(0);
    sample.maxPlayers = TryStrToInt(players.substr(slash + 1)).value_or(0);
  }
  return sample;
}

void HistoryRecorder::ChecksFinished(const std::vector<RowId>& rows) {
  if (!m_watched) return;
  const std::int64_t now = m_clock->NowSeconds();
  std::vector<HistorySample> batch;
  for (const RowId id : rows) {
    const auto position = m_table.PositionOf(id);
    if (!position) continue;
    const ServerRow& row = m_table.Row(*position);
    if (!m_watched(row)) continue;
    auto sample = SampleOf(row, now);
    if (!sample) continue;
    const auto last = m_lastRecorded.find(id);
    if (last != m_lastRecorded.end() && now - last->second < kMinSpacingSeconds) continue;
    m_lastRecorded[id] = now;
    batch.push_back(std::move(*sample));
  }
  if (!batch.empty()) m_sink(std::move(batch));
}

}  // namespace vantrix

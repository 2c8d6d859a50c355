#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "core/table/ServerRow.h"
#include "core/time/WallClock.h"
#include "history/HistorySample.h"

namespace vantrix {

class ServerTable;

// Where a finished check of a watched row becomes a sample. The window calls ChecksFinished
// with the rows a check command (or a refresh) has just finished; the rows that are watched
// and have a result (W "+" or "-") go to the sink as one batch, so one transaction.
//
// A row recorded moments ago is not recorded again: a check run nested in another finishes
// the same rows twice.
class HistoryRecorder {
 public:
  using WatchedFn = std::function<bool(const ServerRow& row)>;
  using SinkFn = std::function<void(std::vector<HistorySample> batch)>;
  static constexpr std::int64_t kMinSpacingSeconds = 2;

  HistoryRecorder(const ServerTable& table, const WallClock& clock, SinkFn sink);

  // Which rows are watched; none until it is set.
  void SetWatched(WatchedFn watched) { m_watched = std::move(watched); }
  void SetClock(const WallClock& clock) { m_clock = &clock; }
  void ChecksFinished(const std::vector<RowId>& rows);

  // A row's result as a sample at `time`: W "+" answered (ping and "players/max" from
  // their cells), W "-" not answered, anything else no result.
  static std::optional<HistorySample> SampleOf(const ServerRow& row, std::int64_t time);

 private:
  const ServerTable& m_table;
  const WallClock* m_clock;
  SinkFn m_sink;
  WatchedFn m_watched;
  std::unordered_map<RowId, std::int64_t> m_lastRecorded;
};

}  // namespace vantrix

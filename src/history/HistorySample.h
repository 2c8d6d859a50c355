#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// One finished check of a server: what the window or the refresh saw, at `time` (seconds
// since 1970, UTC). Players, maximum and ping mean nothing when it did not answer.
struct HistorySample {
  std::int64_t time = 0;
  std::string address;
  bool answered = false;
  int players = 0;
  int maxPlayers = 0;
  std::optional<int> bots;  // when the reply tells
  int ping = 0;

  bool operator==(const HistorySample&) const = default;
};

// A point of a plotted span: a single sample (count 1) or a ten-minute aggregate. The
// players and ping figures are over the answered checks only; `answered` 0 is a gap.
struct HistoryPoint {
  std::int64_t time = 0;  // the sample's time, or the start of its ten minutes
  int count = 0;
  int answered = 0;
  int playersMin = 0;
  double playersMean = 0;
  int playersMax = 0;
  int maxPlayers = 0;  // the highest maximum seen
  std::optional<int> bots;
  int pingMin = 0;
  double pingMean = 0;
  int pingMax = 0;

  bool operator==(const HistoryPoint&) const = default;
};

enum class HistorySpan { kDay, kWeek, kMonth };

inline constexpr std::int64_t kHistoryBucketSeconds = 600;
inline constexpr std::int64_t kHistoryFullResolutionSeconds = 24 * 3600;
inline constexpr std::int64_t kHistoryKeptSeconds = 30 * 24 * 3600;

constexpr std::int64_t SpanSeconds(HistorySpan span) {
  switch (span) {
    case HistorySpan::kDay:
      return 24 * 3600;
    case HistorySpan::kWeek:
      return 7 * 24 * 3600;
    case HistorySpan::kMonth:
      return kHistoryKeptSeconds;
  }
  return 0;
}

// "24 hours", "7 days", "30 days": the window's buttons and its description.
std::string_view SpanCaption(HistorySpan span);
// "24h", "7d", "30d" as vantrix-check takes them; nullopt for anything else.
std::optional<HistorySpan> ParseSpan(std::string_view text);

}  // namespace vantrix

#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vantrix {

// The Players cell's tooltip for every server with history: the last day's range of
// players and its busiest local clock hour, "24 h: 0–18 players, busiest 20:00–21:00".
// Kept up to date from the samples as they are written, in local hours, so the tooltip
// never needs the database.
class HistorySummary {
 public:
  // Seconds to add to a UTC time to get the local clock's (the offset in force then).
  using LocalOffsetFn = std::function<std::int64_t(std::int64_t utc)>;

  explicit HistorySummary(LocalOffsetFn localOffset);

  // Checks of `address` from `time` on (answered ones with their players' sum, min and max);
  // a single sample is count 1.
  void Add(const std::string& address, std::int64_t time, int count, int answered, std::int64_t playersSum,
           int playersMin, int playersMax);
  // Forgets the hours that ended more than a day before `now`.
  void Prune(std::int64_t now);

  // The tooltip, or nullopt when the server has no checks in the last day.
  std::optional<std::string> Text(std::string_view address) const;
  // Every server's tooltip.
  std::unordered_map<std::string, std::string> Texts() const;

 private:
  struct Hour {
    int count = 0;
    int answered = 0;
    std::int64_t playersSum = 0;
    int playersMin = 0;
    int playersMax = 0;
  };
  using Hours = std::map<std::int64_t, Hour>;  // by local hour since 1970

  static std::optional<std::string> Describe(const Hours& hours);

  LocalOffsetFn m_localOffset;
  std::unordered_map<std::string, Hours> m_servers;
};

// The local clock's offset by the process's time zone.
std::int64_t SystemLocalOffset(std::int64_t utc);

}  // namespace vantrix

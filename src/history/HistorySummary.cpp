#include "history/HistorySummary.h"

#include <time.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace vantrix {

namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kHoursKept = 24;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  return value / divisor - ((value % divisor) < 0 ? 1 : 0);
}

}  // namespace

std::int64_t SystemLocalOffset(std::int64_t utc) {
  const time_t time = static_cast<time_t>(utc);
  struct tm local {};
  localtime_r(&time, &local);
  return local.tm_gmtoff;
}

HistorySummary::HistorySummary(LocalOffsetFn localOffset) : m_localOffset(std::move(localOffset)) {}

void HistorySummary::Add(const std::string& address, std::int64_t time, int count, int answered,
                         std::int64_t playersSum, int playersMin, int playersMax) {
  Hour& hour = m_servers[address][FloorDiv(time + m_localOffset(time), kHour)];
  if (answered > 0) {
    hour.playersMin = hour.answered > 0 ? std::min(hour.playersMin, playersMin) : playersMin;
    hour.playersMax = hour.answered > 0 ? std::max(hour.playersMax, playersMax) : playersMax;
    hour.playersSum += playersSum;
    hour.answered += answered;
  }
  hour.count += count;
}

void HistorySummary::Prune(std::int64_t now) {
  const std::int64_t oldest = FloorDiv(now + m_localOffset(now), kHour) - kHoursKept;
  for (auto server = m_servers.begin(); server != m_servers.end();) {
    Hours& hours = server->second;
    hours.erase(hours.begin(), hours.lower_bound(oldest));
    server = hours.empty() ? m_servers.erase(server) : std::next(server);
  }
}

std::optional<std::string> HistorySummary::Describe(const Hours& hours) {
  if (hours.empty()) return std::nullopt;
  std::array<Hour, 24> byClockHour{};
  int low = 0;
  int high = 0;
  int answered = 0;
  for (const auto& [index, hour] : hours) {
    if (hour.answered == 0) continue;
    low = answered > 0 ? std::min(low, hour.playersMin) : hour.playersMin;
    high = answered > 0 ? std::max(high, hour.playersMax) : hour.playersMax;
    answered += hour.answered;
    Hour& clock = byClockHour[static_cast<std::size_t>(index - FloorDiv(index, 24) * 24)];
    clock.answered += hour.answered;
    clock.playersSum += hour.playersSum;
  }
  if (answered == 0) return std::string("24 h: no answer");
  std::size_t busiest = 0;
  double best = -1;
  for (std::size_t clockHour = 0; clockHour < byClockHour.size(); ++clockHour) {
    const Hour& hour = byClockHour[clockHour];
    if (hour.answered == 0) continue;
    const double mean = static_cast<double>(hour.playersSum) / hour.answered;
    if (mean > best) {
      best = mean;
      busiest = clockHour;
    }
  }
  char text[96];
  std::snprintf(text, sizeof text, "24 h: %d\u2013%d players, busiest %02zu:00\u2013%02zu:00", low, high,
                busiest, (busiest + 1) % 24);
  return std::string(text);
}

std::optional<std::string> HistorySummary::Text(std::string_view address) const {
  const auto found = m_servers.find(std::string(address));
  return found == m_servers.end() ? std::nullopt : Describe(found->second);
}

std::unordered_map<std::string, std::string> HistorySummary::Texts() const {
  std::unordered_map<std::string, std::string> texts;
  for (const auto& [address, hours] : m_servers)
    if (auto text = Describe(hours)) texts.emplace(address, std::move(*text));
  return texts;
}

}  // namespace vantrix

#include "history/HistorySpanText.h"

#include <algorithm>
#include <cmath>

namespace vantrix {

std::string_view SpanCaption(HistorySpan span) {
  switch (span) {
    case HistorySpan::kDay:
      return "24 hours";
    case HistorySpan::kWeek:
      return "7 days";
    case HistorySpan::kMonth:
      return "30 days";
  }
  return "";
}

std::optional<HistorySpan> ParseSpan(std::string_view text) {
  if (text == "24h") return HistorySpan::kDay;
  if (text == "7d") return HistorySpan::kWeek;
  if (text == "30d") return HistorySpan::kMonth;
  return std::nullopt;
}

std::string DescribeSpan(HistorySpan span, const std::vector<HistoryPoint>& points) {
  if (points.empty()) return "No history yet";
  long checks = 0;
  long answered = 0;
  double pingSum = 0;
  int low = 0;
  int high = 0;
  for (const HistoryPoint& point : points) {
    if (point.answered > 0) {
      low = answered > 0 ? std::min(low, point.playersMin) : point.playersMin;
      high = answered > 0 ? std::max(high, point.playersMax) : point.playersMax;
      pingSum += point.pingMean * point.answered;
      answered += point.answered;
    }
    checks += point.count;
  }
  std::string text = std::string(SpanCaption(span)) + ": " + std::to_string(checks) + " samples";
  if (answered > 0) {
    text += ", players " + std::to_string(low) + "\u2013" + std::to_string(high) + ", mean ping " +
            std::to_string(std::lround(pingSum / static_cast<double>(answered))) + " ms";
  }
  const long percent = checks > 0 ? std::lround(100.0 * static_cast<double>(answered) / checks) : 0;
  return text + ", answered " + std::to_string(percent) + "%";
}

}  // namespace vantrix

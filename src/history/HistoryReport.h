#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/HistorySample.h"

namespace vantrix {

// The points of one server's span as vantrix-check --history prints them: a day as its
// samples (time, address, answered, players, max, bots, ping), a week or a month as
// ten-minute aggregates (time, address, count, answered, players min/mean/max, max, ping
// min/mean/max). Times are UTC in ISO 8601; what a check that did not answer cannot know
// is empty in CSV and null in JSON.
std::string FormatHistoryCsv(std::string_view address, HistorySpan span,
                             const std::vector<HistoryPoint>& points);
std::string FormatHistoryJson(std::string_view address, HistorySpan span,
                              const std::vector<HistoryPoint>& points);

// "2026-12-09T22:00:00Z"
std::string IsoUtcTime(std::int64_t time);

// Reads a span of one server from the file at `path` without changing it; empty when
// there is no such file or no such server. Throws HistoryError when it cannot be read.
std::vector<HistoryPoint> ReadHistory(const std::string& path, std::string_view address, HistorySpan span,
                                      std::int64_t now);

}  // namespace vantrix

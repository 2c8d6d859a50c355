#include "history/HistoryReport.h"

#include <time.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <nlohmann/json.hpp>

#include "history/HistoryDatabase.h"

namespace vantrix {

namespace {

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// Addresses are host[:port]; a comma or quote would still be quoted.
std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace

std::string IsoUtcTime(std::int64_t time) {
  const time_t seconds = static_cast<time_t>(time);
  struct tm parts {};
  gmtime_r(&seconds, &parts);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return text;
}

std::string FormatHistoryCsv(std::string_view address, HistorySpan span,
                             const std::vector<HistoryPoint>& points) {
  const std::string where = CsvField(address);
  std::string text;
  if (span == HistorySpan::kDay) {
    text = "time,address,answered,players,max,bots,ping\n";
    for (const HistoryPoint& point : points) {
      const bool answered = point.answered > 0;
      text += IsoUtcTime(point.time) + "," + where + "," + (answered ? "1" : "0") + ",";
      if (answered) {
        text += std::to_string(point.playersMax) + "," + std::to_string(point.maxPlayers) + "," +
                (point.bots ? std::to_string(*point.bots) : "") + "," + std::to_string(point.pingMax);
      } else {
        text += ",,,";
      }
      text += "\n";
    }
    return text;
  }
  text = "time,address,count,answered,players_min,players_mean,players_max,max,ping_min,ping_mean,ping_max\n";
  for (const HistoryPoint& point : points) {
    text += IsoUtcTime(point.time) + "," + where + "," + std::to_string(point.count) + "," +
            std::to_string(point.answered) + ",";
    if (point.answered > 0) {
      text += std::to_string(point.playersMin) + "," + OneDecimal(point.playersMean) + "," +
              std::to_string(point.playersMax) + "," + std::to_string(point.maxPlayers) + "," +
              std::to_string(point.pingMin) + "," + OneDecimal(point.pingMean) + "," +
              std::to_string(point.pingMax);
    } else {
      text += ",,,,,,";
    }
    text += "\n";
  }
  return text;
}

std::string FormatHistoryJson(std::string_view address, HistorySpan span,
                              const std::vector<HistoryPoint>& points) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const HistoryPoint& point : points) {
    nlohmann::ordered_json item;
    item["time"] = IsoUtcTime(point.time);
    item["address"] = address;
    const bool answered = point.answered > 0;
    if (span == HistorySpan::kDay) {
      item["answered"] = answered;
      item["players"] = answered ? nlohmann::ordered_json(point.playersMax) : nullptr;
      item["max"] = answered ? nlohmann::ordered_json(point.maxPlayers) : nullptr;
      item["bots"] = answered && point.bots ? nlohmann::ordered_json(*point.bots) : nullptr;
      item["ping"] = answered ? nlohmann::ordered_json(point.pingMax) : nullptr;
    } else {
      item["count"] = point.count;
      item["answered"] = point.answered;
      const auto known = [&](auto value) { return answered ? nlohmann::ordered_json(value) : nullptr; };
      item["players_min"] = known(point.playersMin);
      item["players_mean"] = known(point.playersMean);
      item["players_max"] = known(point.playersMax);
      item["max"] = known(point.maxPlayers);
      item["ping_min"] = known(point.pingMin);
      item["ping_mean"] = known(point.pingMean);
      item["ping_max"] = known(point.pingMax);
    }
    list.push_back(std::move(item));
  }
  return list.dump(2) + "\n";
}

std::vector<HistoryPoint> ReadHistory(const std::string& path, std::string_view address, HistorySpan span,
                                      std::int64_t now) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return {};
  HistoryDatabase reader(path, true);
  return reader.Points(address, span, now);
}

}  // namespace vantrix

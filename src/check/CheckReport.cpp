#include "check/CheckReport.h"

#include <algorithm>
#include <array>
#include <charconv>

#include <nlohmann/json.hpp>

#include "core/lists/ListFile.h"
#include "core/table/ServerTable.h"
#include "core/util/TextEscaping.h"

namespace vantrix {

namespace {

template <class T>
std::string OptionalNumber(const std::optional<T>& value, std::string_view none) {
  return value ? std::to_string(*value) : std::string(none);
}

std::string OptionalLetter(const std::optional<char>& letter, std::string_view none) {
  return letter ? std::string(1, *letter) : std::string(none);
}

std::string_view PasswordWord(const std::optional<bool>& password, std::string_view yes, std::string_view no,
                              std::string_view none) {
  if (!password) return none;
  return *password ? yes : no;
}

// ---- json ----

using Json = nlohmann::ordered_json;  // keys in the documented order

Json TextValue(std::string_view text) {
  return Utf8Text(text);
}

template <class T>
Json OptionalValue(const std::optional<T>& value) {
  return value ? Json(*value) : Json(nullptr);
}

Json LetterValue(const std::optional<char>& letter) {
  return letter ? TextValue(std::string_view(&*letter, 1)) : Json(nullptr);
}

// The float's shortest decimal form (as the table shows it), as a JSON number.
Json SecondsValue(float seconds) {
  const std::string text = JsonNumber(seconds);
  double value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) return nullptr;
  return value;
}

Json PlayersValue(const std::optional<std::vector<PlayerEntry>>& players) {
  if (!players) return nullptr;
  Json list = Json::array();
  for (const PlayerEntry& player : *players)
    list.push_back(
        {{"name", TextValue(player.name)}, {"score", player.score}, {"time", SecondsValue(player.seconds)}});
  return list;
}

Json RulesValue(const std::optional<std::vector<RuleEntry>>& rules) {
  if (!rules) return nullptr;
  Json list = Json::array();
  for (const RuleEntry& rule : *rules)
    list.push_back({{"name", TextValue(rule.name)}, {"value", TextValue(rule.value)}});
  return list;
}

std::string CountryOf(const CheckReport& report, std::size_t i) {
  return i < report.countries.size() ? report.countries[i] : std::string();
}

Json ServerObject(const CheckReport& report, std::size_t i) {
  const CheckItem& item = report.items[i];
  const CheckResult& result = report.results[i];
  const ServerInfo* info = result.info ? &*result.info : nullptr;
  Json object;
  object["address"] = TextValue(item.row.address);
  object["status"] = TextValue(CheckStatusName(result.status));
  object["ping"] = OptionalValue(PingMilliseconds(result));
  object["name"] = info ? TextValue(info->name) : nullptr;
  object["map"] = info ? TextValue(info->map) : nullptr;
  object["players"] = info ? OptionalValue(info->players) : nullptr;
  object["max"] = info ? OptionalValue(info->maxPlayers) : nullptr;
  object["bots"] = info ? OptionalValue(info->bots) : nullptr;
  object["type"] = info ? LetterValue(info->type) : nullptr;
  object["os"] = info ? LetterValue(info->os) : nullptr;
  object["password"] = info ? OptionalValue(info->password) : nullptr;
  if (result.status == CheckStatus::kError) object["error"] = TextValue(result.error);
  if (report.players) object["player_list"] = PlayersValue(result.players);
  if (report.rules) object["rules"] = RulesValue(result.rules);
  object["game_port"] = info ? OptionalValue(info->gamePort) : nullptr;
  object["steam_id"] = info ? OptionalValue(info->steamId) : nullptr;
  object["keywords"] = info && info->keywords ? TextValue(*info->keywords) : nullptr;
  object["game_id"] = info ? OptionalValue(info->gameId) : nullptr;
  const std::string country = CountryOf(report, i);
  object["country"] = country.empty() ? Json(nullptr) : Json(country);
  return object;
}

// ---- table ----

constexpr std::size_t kTableColumns = 10;
using TableLine = std::array<std::string, kTableColumns>;
const TableLine kTableHeader{"ADDRESS", "STATUS", "PING", "PLAYERS", "BOTS",
                             "TYPE",    "OS",     "PW",   "MAP",     "NAME"};

std::string PlayersText(const ServerInfo& info) {
  return OptionalNumber(info.players, "?") + "/" + OptionalNumber(info.maxPlayers, "?");
}

TableLine TableRow(const CheckItem& item, const CheckResult& result) {
  const ServerInfo* info = result.info ? &*result.info : nullptr;
  std::string name = info ? TerminalText(info->name) : std::string();
  if (result.status == CheckStatus::kError)
    name += (name.empty() ? "[" : " [") + TerminalText(result.error) + "]";
  return {TerminalText(item.row.address),
          std::string(CheckStatusName(result.status)),
          OptionalNumber(PingMilliseconds(result), "-"),
          info ? PlayersText(*info) : "-",
          info ? OptionalNumber(info->bots, "-") : "-",
          info ? OptionalLetter(info->type, "-") : "-",
          info ? OptionalLetter(info->os, "-") : "-",
          std::string(PasswordWord(info ? info->password : std::nullopt, "yes", "no", "-")),
          info ? TerminalText(info->map) : "-",
          name.empty() ? "-" : name};
}

void AppendTableLine(std::string& out, const TableLine& line,
                     const std::array<std::size_t, kTableColumns>& widths) {
  for (std::size_t c = 0; c < kTableColumns; ++c) {
    out.append(line[c]);
    if (c + 1 == kTableColumns) break;
    out.append(widths[c] - DisplayWidth(line[c]) + 2, ' ');
  }
  out.push_back('\n');
}

void AppendTableDetails(std::string& out, const CheckReport& report, const CheckResult& result) {
  if (report.players && result.players) {
    for (const PlayerEntry& player : *result.players)
      out.append("    player " + TerminalText(player.name) + " (score " + std::to_string(player.score) +
                 ", " + JsonNumber(player.seconds) + " s)\n");
  }
  if (report.rules && result.rules) {
    for (const RuleEntry& rule : *result.rules)
      out.append("    rule " + TerminalText(rule.name) + " = " + TerminalText(rule.value) + "\n");
  }
}

// ---- csv ----

constexpr std::string_view kCsvLineEnd = "\r\n";

void AppendCsvLine(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out.push_back(',');
    AppendCsvField(out, Utf8Text(fields[i]));
  }
  out.append(kCsvLineEnd);
}

std::string JoinedPlayerNames(const std::optional<std::vector<PlayerEntry>>& players) {
  std::string out;
  if (!players) return out;
  for (std::size_t i = 0; i < players->size(); ++i) out += (i ? "\n" : "") + (*players)[i].name;
  return out;
}

std::string JoinedRules(const std::optional<std::vector<RuleEntry>>& rules) {
  std::string out;
  if (!rules) return out;
  for (std::size_t i = 0; i < rules->size(); ++i)
    out += (i ? "\n" : "") + (*rules)[i].name + "=" + (*rules)[i].value;
  return out;
}

}  // namespace

std::string FormatCheckJson(const CheckReport& report) {
  if (report.items.empty()) return "[]\n";
  // One server a line, so that line tools can take the output apart too.
  std::string out = "[\n";
  for (std::size_t i = 0; i < report.items.size(); ++i) {
    out.append("  ");
    out.append(ServerObject(report, i).dump());
    out.append(i + 1 < report.items.size() ? ",\n" : "\n");
  }
  out.append("]\n");
  return out;
}

std::string FormatCheckTable(const CheckReport& report) {
  std::vector<TableLine> lines;
  lines.reserve(report.items.size());
  std::array<std::size_t, kTableColumns> widths{};
  for (std::size_t c = 0; c < kTableColumns; ++c) widths[c] = kTableHeader[c].size();
  std::size_t answered = 0;
  std::size_t silent = 0;
  for (std::size_t i = 0; i < report.items.size(); ++i) {
    lines.push_back(TableRow(report.items[i], report.results[i]));
    for (std::size_t c = 0; c < kTableColumns; ++c)
      widths[c] = std::max(widths[c], DisplayWidth(lines.back()[c]));
    answered += report.results[i].status == CheckStatus::kAnswered;
    silent += report.results[i].status == CheckStatus::kSilent;
  }
  std::string out;
  AppendTableLine(out, kTableHeader, widths);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    AppendTableLine(out, lines[i], widths);
    AppendTableDetails(out, report, report.results[i]);
  }
  const std::size_t total = report.items.size();
  out.append(std::to_string(total) + (total == 1 ? " server: " : " servers: ") + std::to_string(answered) +
             " answered, " + std::to_string(silent) + " silent, " +
             std::to_string(total - answered - silent) + " with errors\n");
  return out;
}

std::string FormatCheckCsv(const CheckReport& report) {
  std::vector<std::string> header{"address", "status", "ping", "name", "map",      "players",
                                  "max",     "bots",   "type", "os",   "password", "error"};
  if (report.players) header.push_back("player_names");
  if (report.rules) header.push_back("rules");
  header.insert(header.end(), {"game_port", "steam_id", "keywords", "game_id"});
  header.push_back("country");
  std::string out;
  AppendCsvLine(out, header);
  for (std::size_t i = 0; i < report.items.size(); ++i) {
    const CheckResult& result = report.results[i];
    const ServerInfo* info = result.info ? &*result.info : nullptr;
    std::vector<std::string> fields{
        report.items[i].row.address.Str(),
        std::string(CheckStatusName(result.status)),
        OptionalNumber(PingMilliseconds(result), ""),
        info ? info->name : "",
        info ? info->map : "",
        info ? OptionalNumber(info->players, "") : "",
        info ? OptionalNumber(info->maxPlayers, "") : "",
        info ? OptionalNumber(info->bots, "") : "",
        info ? OptionalLetter(info->type, "") : "",
        info ? OptionalLetter(info->os, "") : "",
        std::string(PasswordWord(info ? info->password : std::nullopt, "true", "false", "")),
        result.status == CheckStatus::kError ? result.error : ""};
    if (report.players) fields.push_back(JoinedPlayerNames(result.players));
    if (report.rules) fields.push_back(JoinedRules(result.rules));
    fields.push_back(info ? OptionalNumber(info->gamePort, "") : "");
    fields.push_back(info ? OptionalNumber(info->steamId, "") : "");
    fields.push_back(info ? info->keywords.value_or("") : "");
    fields.push_back(info ? OptionalNumber(info->gameId, "") : "");
    fields.push_back(CountryOf(report, i));
    AppendCsvLine(out, fields);
  }
  return out;
}

ServerRow CheckResultRow(const CheckItem& item, const CheckResult& result) {
  ServerRow row = item.row;
  if (!result.info) {
    row.cells[kWCell] = "-";
    return row;
  }
  const ServerInfo& info = *result.info;
  row.cells[kNameCell] = info.name;
  row.cells[kMapCell] = info.map;
  if (auto ping = PingMilliseconds(result)) row.cells[kPingCell] = std::to_string(*ping);
  if (info.players && info.maxPlayers)
    row.cells[kPlayersCell] = std::to_string(*info.players) + "/" + std::to_string(*info.maxPlayers);
  row.cells[kWCell] = "+";
  if (info.type) row.cells[kDCell] = std::string(1, *info.type);
  if (info.os) row.cells[kSCell] = std::string(1, *info.os);
  if (info.password) row.cells[kPCell] = *info.password ? "+" : "-";
  return row;
}

std::string FormatCheckVnx(const CheckReport& report) {
  ServerTable table;
  for (std::size_t i = 0; i < report.items.size(); ++i)
    table.AppendRow(CheckResultRow(report.items[i], report.results[i]));
  return FormatRecordLayout(table);
}

std::string FormatCheckReport(const CheckReport& report, CheckFormat format) {
  switch (format) {
    case CheckFormat::kTable:
      return FormatCheckTable(report);
    case CheckFormat::kJson:
      return FormatCheckJson(report);
    case CheckFormat::kCsv:
      return FormatCheckCsv(report);
    case CheckFormat::kVnx:
      return FormatCheckVnx(report);
  }
  return FormatCheckJson(report);
}

int CheckExitStatus(const CheckReport& report, bool inputFailed) {
  if (inputFailed) return 1;
  for (const CheckResult& result : report.results)
    if (result.status != CheckStatus::kAnswered) return 1;
  return 0;
}

CheckReport AssembleReport(std::vector<CheckItem> items, const ItemEndpoints& endpoints,
                           const std::function<const CheckResult&(std::size_t)>& resultFor,
                           const CountryOfAddress& countryOf) {
  CheckReport report;
  report.results.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i)
    report.results.push_back(endpoints.ResultOfItem(items, i, resultFor));
  if (countryOf) {
    report.countries.resize(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
      if (endpoints.ofItem[i] != ItemEndpoints::kNone)
        report.countries[i] = countryOf(endpoints.endpoints[endpoints.ofItem[i]].address);
  }
  report.items = std::move(items);
  return report;
}

}  // namespace vantrix

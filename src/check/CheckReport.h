#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "check/CheckItem.h"
#include "check/CheckOptions.h"
#include "check/ItemEndpoints.h"
#include "client/CheckResult.h"
#include "core/table/ServerRow.h"

namespace vantrix {

// Everything a run prints: the items in input order with one result each, and whether
// players and rules were asked for.
struct CheckReport {
  std::vector<CheckItem> items;
  std::vector<CheckResult> results;
  bool players = false;
  bool rules = false;
  // The country code of each item's address ("" when none); may be empty as a whole.
  std::vector<std::string> countries;
};

// The country code of an address, "" when none is known.
using CountryOfAddress = std::function<std::string(std::uint32_t address)>;

// A run's report: the items in input order, each with its result (ItemEndpoints::ResultOfItem)
// and the country of its address. Without `countryOf` (no location database) no country is
// known at all, so that the filter's "country:" stays a plain word.
CheckReport AssembleReport(std::vector<CheckItem> items, const ItemEndpoints& endpoints,
                           const std::function<const CheckResult&(std::size_t endpoint)>& resultFor,
                           const CountryOfAddress& countryOf);

// The output formats, pure functions of the report:
// table: aligned columns for a terminal (control bytes shown as "?"), players and rules
//        indented below their server, a summary line at the end;
// json:  an array with one object per server (keys below), texts as UTF-8 (a text that
//        is not valid UTF-8 is taken as Latin-1), numbers as numbers, unknown as null;
// csv:   a header line and one line per server, CR LF line ends, fields quoted when they
//        hold a comma, a quote or a line break;
// vnx:   the record layout, so the result opens in the window: each row as read with
//        the answer filled in as a check in the window fills it ("-" in W otherwise).
// json keys: address, status, ping, name, map, players, max, bots, type, os, password,
// error (only for the status error), player_list (with --players), rules (with --rules),
// game_port, steam_id, keywords, game_id (from an 'I' reply's extra data; game_id is the
// 64-bit game id, else the app id). The csv columns follow the same order, these four last; then
// country (the code, null when none). In csv the country is the last column.
std::string FormatCheckTable(const CheckReport& report);
std::string FormatCheckJson(const CheckReport& report);
std::string FormatCheckCsv(const CheckReport& report);
std::string FormatCheckVnx(const CheckReport& report);
std::string FormatCheckReport(const CheckReport& report, CheckFormat format);

// The row that the vnx format writes for one server.
ServerRow CheckResultRow(const CheckItem& item, const CheckResult& result);

// 0 when every server answered and every input could be read, else 1.
int CheckExitStatus(const CheckReport& report, bool inputFailed);

}  // namespace vantrix

#include "check/CheckReport.h"

#include <limits>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/lists/ListFile.h"
#include "core/table/ServerTable.h"
#include "core/util/TextEscaping.h"

namespace vantrix {
namespace {

using namespace std::string_literals;

CheckItem Item(std::string address, std::string comment = " ") {
  CheckItem item = MakeCheckItem(ServerRow::Blank(std::move(address)), 27015);
  item.row.cells[kCommentCell] = std::move(comment);
  return item;
}

ServerInfo Info(std::string name, std::string map, int players, int max) {
  ServerInfo info;
  info.name = std::move(name);
  info.map = std::move(map);
  info.players = players;
  info.maxPlayers = max;
  info.type = 'D';
  info.os = 'L';
  info.password = false;
  return info;
}

// One server of each kind: answered (with bots, UTF-8 name), answered by an 'm' reply
// (Latin-1 name, a quote and a comma), silent, and an error after the info came.
CheckReport SampleReport(bool players, bool rules) {
  CheckReport report;
  report.players = players;
  report.rules = rules;

  report.items.push_back(Item("10.0.0.1:27015", "clan"));
  CheckResult first;
  first.status = CheckStatus::kAnswered;
  first.pingUs = 12'400;
  first.info = Info("Caf\xC3\xA9 \"one\"", "de_dust2", 3, 16);
  first.info->bots = 1;
  first.info->gamePort = 27016;
  first.info->steamId = 90071992547409921ull;  // past a double's exact integers
  first.info->keywords = "a,\xE9";
  first.info->gameId = 730;
  first.players = std::vector<PlayerEntry>{{"ann", 5, 61.5f}, {"b\x01o", -2, 2.25f}};
  first.rules = std::vector<RuleEntry>{{"sv_gravity", "800"}, {"motd", "a,b"}};
  report.results.push_back(first);

  report.items.push_back(Item("10.0.0.2"));
  CheckResult second;
  second.status = CheckStatus::kAnswered;
  second.pingUs = 499;
  second.info = Info("Fran\xE7ois, \"2\"", "crossfire", 0, 8);
  second.info->os = 'W';
  second.info->password = true;
  second.players = std::vector<PlayerEntry>{};
  second.rules = std::vector<RuleEntry>{};
  report.results.push_back(second);

  report.items.push_back(Item("10.0.0.3:27016"));
  report.results.push_back(CheckResult{});

  report.items.push_back(Item("10.0.0.4:27017"));
  CheckResult fourth;
  fourth.status = CheckStatus::kError;
  fourth.error = "players: no reply";
  fourth.pingUs = 1'500;
  fourth.info = Info("Four", "m4", 1, 2);
  fourth.info->type.reset();
  report.results.push_back(fourth);
  return report;
}

TEST(CheckReport, JsonByteForByte) {
  EXPECT_EQ(
      FormatCheckJson(SampleReport(false, false)),
      "[\n"
      "  {\"address\":\"10.0.0.1:27015\",\"status\":\"answered\",\"ping\":12,\"name\":\"Caf\xC3\xA9 "
      "\\\"one\\\"\","
      "\"map\":\"de_dust2\",\"players\":3,\"max\":16,\"bots\":1,\"type\":\"D\",\"os\":\"L\",\"password\":"
      "false,\"game_port\":27016,\"steam_id\":90071992547409921,\"keywords\":\"a,\xC3\xA9\",\"game_id\":730,"
      "\"country\":null},"
      "\n"
      "  {\"address\":\"10.0.0.2\",\"status\":\"answered\",\"ping\":0,\"name\":\"Fran\xC3\xA7ois, "
      "\\\"2\\\"\","
      "\"map\":\"crossfire\",\"players\":0,\"max\":8,\"bots\":null,\"type\":\"D\",\"os\":\"W\",\"password\":"
      "true,\"game_port\":null,\"steam_id\":null,\"keywords\":null,\"game_id\":null,\"country\":null},\n"
      "  {\"address\":\"10.0.0.3:27016\",\"status\":\"silent\",\"ping\":null,\"name\":null,\"map\":null,"
      "\"players\":null,\"max\":null,\"bots\":null,\"type\":null,\"os\":null,\"password\":null,"
      "\"game_port\":null,\"steam_id\":null,\"keywords\":null,\"game_id\":null,\"country\":null},\n"
      "  {\"address\":\"10.0.0.4:27017\",\"status\":\"error\",\"ping\":2,\"name\":\"Four\",\"map\":\"m4\","
      "\"players\":1,\"max\":2,\"bots\":null,\"type\":null,\"os\":\"L\",\"password\":false,"
      "\"error\":\"players: no "
      "reply\",\"game_port\":null,\"steam_id\":null,\"keywords\":null,\"game_id\":null,\"country\":null}\n"
      "]\n");
  EXPECT_EQ(FormatCheckJson(CheckReport{}), "[]\n");
}

TEST(CheckReport, JsonWithPlayersAndRules) {
  CheckReport report = SampleReport(true, true);
  report.items.resize(3);
  report.results.resize(3);
  const std::string json = FormatCheckJson(report);
  EXPECT_NE(
      json.find(
          ",\"player_list\":[{\"name\":\"ann\",\"score\":5,\"time\":61.5},"
          "{\"name\":\"b\\u0001o\",\"score\":-2,\"time\":2.25}],"
          "\"rules\":[{\"name\":\"sv_gravity\",\"value\":\"800\"},{\"name\":\"motd\",\"value\":\"a,b\"}],"
          "\"game_port\":27016,\"steam_id\":90071992547409921,\"keywords\":\"a,\u00e9\",\"game_id\":730,"
          "\"country\":null}"),
      std::string::npos)
      << json;
  EXPECT_NE(
      json.find("\"password\":true,\"player_list\":[],\"rules\":[],\"game_port\":null,\"steam_id\":null,"
                "\"keywords\":null,\"game_id\":null,\"country\":null}"),
      std::string::npos)
      << json;
  EXPECT_NE(json.find("\"password\":null,\"player_list\":null,\"rules\":null,\"game_port\":null"),
            std::string::npos)
      << json;
}

// What a JSON reader gets back: every server's texts (control characters, quotes, Latin-1),
// numbers and nulls as they were.
TEST(CheckReport, JsonReadsBackAsTheReport) {
  CheckReport report = SampleReport(true, true);
  report.results[0].rules->push_back({"q\"\\\n\t\x7F", "\xFF"});
  const nlohmann::json servers = nlohmann::json::parse(FormatCheckJson(report));
  ASSERT_EQ(servers.size(), 4u);
  EXPECT_EQ(servers[0]["name"], "Caf\u00e9 \"one\"");
  EXPECT_EQ(servers[0]["ping"], 12);
  EXPECT_EQ(servers[0]["player_list"][0]["time"], 61.5);
  EXPECT_EQ(servers[0]["player_list"][1]["name"], "b\x01o");
  EXPECT_EQ(servers[0]["player_list"][1]["score"], -2);
  EXPECT_EQ(servers[0]["rules"][2]["name"], "q\"\\\n\t\x7F");
  EXPECT_EQ(servers[0]["rules"][2]["value"], "\u00ff");
  EXPECT_EQ(servers[1]["name"], "Fran\u00e7ois, \"2\"");
  EXPECT_EQ(servers[1]["password"], true);
  EXPECT_TRUE(servers[1]["bots"].is_null());
  EXPECT_EQ(servers[2]["status"], "silent");
  EXPECT_TRUE(servers[2]["player_list"].is_null() && servers[2]["name"].is_null());
  EXPECT_EQ(servers[3]["error"], "players: no reply");
  EXPECT_FALSE(servers[0].contains("error"));
  report.results[0].players->front().seconds = std::numeric_limits<float>::infinity();
  EXPECT_TRUE(nlohmann::json::parse(FormatCheckJson(report))[0]["player_list"][0]["time"].is_null());
}

TEST(CheckReport, CsvByteForByte) {
  CheckReport report = SampleReport(false, false);
  report.countries = {"DE", "", "", "US"};
  EXPECT_EQ(FormatCheckCsv(report),
            "address,status,ping,name,map,players,max,bots,type,os,password,error,"
            "game_port,steam_id,keywords,game_id,country\r\n"
            "10.0.0.1:27015,answered,12,\"Caf\xC3\xA9 \"\"one\"\"\",de_dust2,3,16,1,D,L,false,,"
            "27016,90071992547409921,\"a,\xC3\xA9\",730,DE\r\n"
            "10.0.0.2,answered,0,\"Fran\xC3\xA7ois, \"\"2\"\"\",crossfire,0,8,,D,W,true,,,,,,\r\n"
            "10.0.0.3:27016,silent,,,,,,,,,,,,,,,\r\n"
            "10.0.0.4:27017,error,2,Four,m4,1,2,,,L,false,players: no reply,,,,,US\r\n");
  const nlohmann::json servers = nlohmann::json::parse(FormatCheckJson(report));
  EXPECT_EQ(servers[0]["country"], "DE");
  EXPECT_TRUE(servers[1]["country"].is_null());
  const std::string withLists = FormatCheckCsv(SampleReport(true, true));
  EXPECT_TRUE(
      withLists.starts_with("address,status,ping,name,map,players,max,bots,type,os,password,error,"
                            "player_names,rules,game_port,steam_id,keywords,game_id,country\r\n"));
  EXPECT_NE(withLists.find(",false,,\"ann\nb\x01o\",\"sv_gravity=800\nmotd=a,b\",27016,"), std::string::npos);
  EXPECT_NE(withLists.find("silent,,,,,,,,,,,,,,,,,\r\n"), std::string::npos);
}

TEST(CheckReport, TableByteForByte) {
  EXPECT_EQ(
      FormatCheckTable(SampleReport(true, false)),
      "ADDRESS         STATUS    PING  PLAYERS  BOTS  TYPE  OS  PW   MAP        NAME\n"
      "10.0.0.1:27015  answered  12    3/16     1     D     L   no   de_dust2   Caf\xC3\xA9 \"one\"\n"
      "    player ann (score 5, 61.5 s)\n"
      "    player b?o (score -2, 2.25 s)\n"
      "10.0.0.2        answered  0     0/8      -     D     W   yes  crossfire  Fran\xC3\xA7ois, \"2\"\n"
      "10.0.0.3:27016  silent    -     -        -     -     -   -    -          -\n"
      "10.0.0.4:27017  error     2     1/2      -     -     L   no   m4         Four [players: no reply]\n"
      "4 servers: 2 answered, 1 silent, 1 with errors\n");
  CheckReport one;
  one.items.push_back(Item("bad:port"));
  one.results.push_back({CheckStatus::kError, one.items[0].error, {}, {}, {}, {}});
  EXPECT_EQ(FormatCheckTable(one),
            "ADDRESS   STATUS  PING  PLAYERS  BOTS  TYPE  OS  PW  MAP  NAME\n"
            "bad:port  error   -     -        -     -     -   -   -    [bad port 'port']\n"
            "1 server: 0 answered, 0 silent, 1 with errors\n");
}

TEST(CheckReport, VnxIsTheRecordLayoutWithTheAnswersFilledIn) {
  const CheckReport report = SampleReport(false, false);
  EXPECT_EQ(FormatCheckVnx(report),
            "10.0.0.1:27015\r\nCaf\xC3\xA9 \"one\"\r\nde_dust2\r\n12\r\n3/16\r\nclan\r\n+\r\nD\r\nL\r\n-\r\n"
            "10.0.0.2\r\nFran\xE7ois, \"2\"\r\ncrossfire\r\n0\r\n0/8\r\n \r\n+\r\nD\r\nW\r\n+\r\n"
            "10.0.0.3:27016\r\n \r\n \r\n \r\n \r\n \r\n-\r\n \r\n \r\n \r\n"
            "10.0.0.4:27017\r\nFour\r\nm4\r\n2\r\n1/2\r\n \r\n+\r\n \r\nL\r\n-\r\n");
  // It reads back as the window reads it.
  ServerTable table;
  ParseRecordLayout(FormatCheckVnx(report), table);
  ASSERT_EQ(table.Count(), 4);
  EXPECT_EQ(table.Cell(0, kCommentCell), "clan");
  EXPECT_EQ(table.Cell(1, kPCell), "+");
  EXPECT_EQ(table.Cell(2, kWCell), "-");
}

TEST(CheckReport, VnxKeepsCellsTheServerDidNotSend) {
  CheckItem item = Item("10.0.0.9:1");
  item.row.cells[kNameCell] = "old name";
  item.row.cells[kDCell] = "L";
  CheckResult silent;
  EXPECT_EQ(CheckResultRow(item, silent).cells[kNameCell], "old name");
  EXPECT_EQ(CheckResultRow(item, silent).cells[kWCell], "-");
  CheckResult answered;
  answered.status = CheckStatus::kAnswered;
  answered.info = ServerInfo{};
  answered.info->name = "new\r\nname";
  const ServerRow row = CheckResultRow(item, answered);
  EXPECT_EQ(row.cells[kNameCell], "new\r\nname");
  EXPECT_EQ(row.cells[kDCell], "L");     // no type in the reply
  EXPECT_EQ(row.cells[kPingCell], " ");  // no ping known
  EXPECT_EQ(row.cells[kPlayersCell], " ");
  CheckReport report;
  report.items.push_back(item);
  report.results.push_back(answered);
  // A line break in a name cannot split the record.
  EXPECT_NE(FormatCheckVnx(report).find("\r\nnew  name\r\n"), std::string::npos);
}

TEST(CheckReport, ExitStatus) {
  CheckReport report = SampleReport(false, false);
  EXPECT_EQ(CheckExitStatus(report, false), 1);
  report.results[2].status = CheckStatus::kAnswered;
  report.results[3].status = CheckStatus::kAnswered;
  EXPECT_EQ(CheckExitStatus(report, false), 0);
  EXPECT_EQ(CheckExitStatus(report, true), 1);
  EXPECT_EQ(CheckExitStatus(CheckReport{}, false), 0);
  EXPECT_EQ(FormatCheckReport(report, CheckFormat::kCsv), FormatCheckCsv(report));
  EXPECT_EQ(FormatCheckReport(report, CheckFormat::kVnx), FormatCheckVnx(report));
  EXPECT_EQ(FormatCheckReport(report, CheckFormat::kTable), FormatCheckTable(report));
}

TEST(TextEscaping, Utf8ValidityAndWidths) {
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xE9"));              // Latin-1
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
  EXPECT_EQ(DisplayWidth("\xC3\xA9t\xC3\xA9"), 3u);
  EXPECT_EQ(DisplayWidth("\xE9t\xE9"), 3u);
  EXPECT_EQ(TerminalText("a\x1B[2Jb\x7F"), "a?[2Jb?");
  // C1 controls: as UTF-8 (C2 9B is a CSI) and as single bytes in text that is not UTF-8.
  EXPECT_EQ(TerminalText("a\xC2\x9B"
                         "31mb\xC2\x9D"
                         "0;t\x07"),
            "a?31mb?0;t?");
  EXPECT_EQ(TerminalText("caf\xE9 \x9B"
                         "31m\x85"),
            "caf\xC3\xA9 ?31m?");
  // Printable text beyond ASCII stays, Latin-1 turned into UTF-8.
  EXPECT_EQ(TerminalText("caf\xC3\xA9 \xC2\xA0\xC2\xBF"), "caf\xC3\xA9 \xC2\xA0\xC2\xBF");
  EXPECT_EQ(TerminalText("\xA0\xFF\xE9"), "\xC2\xA0\xC3\xBF\xC3\xA9");  // Latin-1 shown in UTF-8
  EXPECT_EQ(Utf8Text("q\"b\x02\x7F\xC3\xA9"), "q\"b\x02\x7F\xC3\xA9");  // UTF-8 as it is
  EXPECT_EQ(Utf8Text("\xFF\xC3 a"), "\xC3\xBF\xC3\x83 a");              // else Latin-1
  std::string csv;
  AppendCsvField(csv, "plain");
  AppendCsvField(csv, "a\"b");
  AppendCsvField(csv, "line\r\n");
  EXPECT_EQ(csv, "plain\"a\"\"b\"\"line\r\n\"");
  EXPECT_EQ(JsonNumber(1.5f), "1.5");
  EXPECT_EQ(JsonNumber(std::numeric_limits<float>::quiet_NaN()), "null");
  EXPECT_EQ(JsonNumber(std::numeric_limits<float>::infinity()), "null");
}

}  // namespace
}  // namespace vantrix

#include "check/CheckOptions.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "check/CheckItem.h"
#include "check/PlanFromOptions.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

using Kind = CheckInputSpec::Kind;

// The window's defaults, except the query: the checker asks as servers of today expect.
TEST(CheckOptions, DefaultsAreTheWindowsOnesWithTheCurrentQuery) {
  const CheckOptions options = ParseCheckOptions({});
  EXPECT_EQ(options.defaultPort, 27015);
  EXPECT_EQ(options.maxParallel, 1024);
  EXPECT_EQ(options.timeoutMs, 400);
  EXPECT_EQ(options.retries, 1);
  EXPECT_EQ(options.sendIntervalUs, 0);
  EXPECT_EQ(options.query, QueryProtocol::kCurrent);
  EXPECT_FALSE(options.players || options.rules || options.format || options.help);
  EXPECT_TRUE(options.progress);
  EXPECT_TRUE(options.inputs.empty());
  const CheckPlan plan = PlanFromOptions(options);
  EXPECT_EQ(plan.protocol, QueryProtocol::kCurrent);
  EXPECT_EQ(plan.timeoutUs, 400'000u);
  EXPECT_EQ(plan.retries, 1);
}

TEST(CheckOptions, EveryOptionInBothSpellings) {
  const CheckOptions options = ParseCheckOptions({"--default-port",
                                                  "27016",
                                                  "--max-parallel=64",
                                                  "--timeout-ms",
                                                  "250",
                                                  "--retries=0",
                                                  "--send-interval-us",
                                                  "100",
                                                  "--query=info",
                                                  "--players",
                                                  "--rules",
                                                  "--format",
                                                  "csv",
                                                  "--no-progress",
                                                  "a.vnx",
                                                  "-",
                                                  "--list=servers",
                                                  "10.0.0.1:5",
                                                  "--",
                                                  "--players"});
  EXPECT_EQ(options.defaultPort, 27016);
  EXPECT_EQ(options.maxParallel, 64);
  EXPECT_EQ(options.timeoutMs, 250);
  EXPECT_EQ(options.retries, 0);
  EXPECT_EQ(options.sendIntervalUs, 100);
  EXPECT_EQ(options.query, QueryProtocol::kCurrent);
  EXPECT_TRUE(options.players && options.rules);
  EXPECT_EQ(options.format, CheckFormat::kCsv);
  EXPECT_FALSE(options.progress);
  const std::vector<CheckInputSpec> inputs{{Kind::kUnsure, "a.vnx"},
                                           {Kind::kStdin, "-"},
                                           {Kind::kFile, "servers"},
                                           {Kind::kUnsure, "10.0.0.1:5"},
                                           {Kind::kUnsure, "--players"}};
  EXPECT_EQ(options.inputs, inputs);
  for (const char* format : {"table", "json", "vnx"})
    EXPECT_TRUE(ParseCheckOptions({"--format", format}).format.has_value());
  EXPECT_TRUE(ParseCheckOptions({"-h"}).help);
  EXPECT_TRUE(ParseCheckOptions({"--version"}).version);
}

TEST(CheckOptions, OrderRepeatsAndTheEndOfOptions) {
  EXPECT_EQ(ParseCheckOptions({"--query", "details"}).query, QueryProtocol::kOriginal);
  // A repeated option: the last one counts, as with most tools.
  const CheckOptions repeated =
      ParseCheckOptions({"--timeout-ms", "100", "--query=details", "--timeout-ms=250", "--query", "info"});
  EXPECT_EQ(repeated.timeoutMs, 250);
  EXPECT_EQ(repeated.query, QueryProtocol::kCurrent);
  // A value is the next argument whatever it looks like; after "--" even "-" is a name.
  const CheckOptions literal = ParseCheckOptions({"--list", "-", "b", "--list", "--", "-", "--", "-", "--x"});
  const std::vector<CheckInputSpec> inputs{{Kind::kFile, "-"},  {Kind::kUnsure, "b"}, {Kind::kFile, "--"},
                                           {Kind::kStdin, "-"}, {Kind::kUnsure, "-"}, {Kind::kUnsure, "--x"}};
  EXPECT_EQ(literal.inputs, inputs);
}

TEST(CheckOptions, HelpNamesEveryOptionAndTheQueryToUse) {
  const std::string help = CheckUsageText();
  EXPECT_TRUE(help.starts_with("usage: vantrix-check")) << help;
  for (const char* option :
       {"--list", "--default-port", "--max-parallel", "--timeout-ms", "--retries", "--send-interval-us",
        "--query", "--players", "--rules", "--format", "--no-progress", "--version", "--help"})
    EXPECT_NE(help.find(option), std::string::npos) << option;
  EXPECT_NE(help.find("current (default; also: info)"), std::string::npos) << help;
  EXPECT_NE(help.find("original (also: details): the 'm' request"), std::string::npos) << help;
  EXPECT_NE(help.find("Exit status: 0"), std::string::npos) << help;
}

TEST(CheckOptions, BadUseIsRefusedWithAMessage) {
  const std::vector<std::vector<std::string>> bad{{"--timeout-ms"},
                                                  {"--timeout-ms", "0"},
                                                  {"--timeout-ms", "abc"},
                                                  {"--retries", "-1"},
                                                  {"--retries", "11"},
                                                  {"--default-port", "0"},
                                                  {"--default-port", "65536"},
                                                  {"--max-parallel", "0"},
                                                  {"--query", "status"},
                                                  {"--format", "xml"},
                                                  {"--players=yes"},
                                                  {"--bogus"},
                                                  {"--bogus=1"},
                                                  {"a", "--nope", "--", "b"},
                                                  {"-x"},
                                                  {"--send-interval-us", "1000001"},
                                                  {"--watch", "0"},
                                                  {"--buddy", "x"},
                                                  {"--watch", "5", "--count", "0"},
                                                  {"--watch", "5", "--buddy="}};
  for (const auto& arguments : bad) {
    EXPECT_THROW(ParseCheckOptions(arguments), CheckUsageError) << arguments[0];
  }
  try {
    ParseCheckOptions({"--retries", "x"});
    FAIL();
  } catch (const CheckUsageError& error) {
    EXPECT_STREQ(error.what(), "--retries needs a whole number from 0 to 10, not 'x'");
  }
}

TEST(CheckOptions, ArgumentsAreFilesAddressesOrStandardInput) {
  EXPECT_EQ(ClassifyArgument("-", false), Kind::kStdin);
  EXPECT_EQ(ClassifyArgument("servers", true), Kind::kFile);
  EXPECT_EQ(ClassifyArgument("list.VNX", false), Kind::kFile);
  EXPECT_EQ(ClassifyArgument("dir/list.txt", false), Kind::kFile);
  EXPECT_EQ(ClassifyArgument("10.0.0.1:27015", false), Kind::kAddress);
  EXPECT_EQ(ClassifyArgument("game.example.org", false), Kind::kAddress);
  EXPECT_EQ(ClassifyArgument("localhost", false), Kind::kAddress);
}

TEST(CheckItem, AddressesSplitAsInTheWindow) {
  auto item = MakeCheckItem(ServerRow::Blank("10.0.0.5"), 27016);
  ASSERT_TRUE(item.target);
  EXPECT_EQ(*item.target, (RequestTarget{"10.0.0.5", 27016}));
  item = MakeCheckItem(ServerRow::Blank(" host.example :27020 "), 1);
  ASSERT_TRUE(item.target);
  EXPECT_EQ(*item.target, (RequestTarget{"host.example", 27020}));
  EXPECT_EQ(item.row.address, " host.example :27020 ");  // the cell is kept as it was
  for (const char* bad :
       {"10.0.0.5:abc", "10.0.0.5:", "10.0.0.5:0", "10.0.0.5:65536", "10.0.0.5:1:2", ":27015"}) {
    item = MakeCheckItem(ServerRow::Blank(bad), 27015);
    EXPECT_FALSE(item.target) << bad;
    EXPECT_FALSE(item.error.empty()) << bad;
  }
  EXPECT_EQ(MakeCheckItem(ServerRow::Blank("h:x"), 1).error, "bad port 'x'");
  EXPECT_TRUE(IsBlankAddress(" \t"));
  EXPECT_FALSE(IsBlankAddress(" a"));
}

TEST(CheckItem, ListFilesInBothLayoutsAndStandardInputText) {
  test::TempDir dir;
  test::Spit(dir / "a.txt", "10.0.0.1:1|clan|eu\r\n\r\n  \r\n10.0.0.2\n");
  test::Spit(dir / "b.vnx",
             "10.0.0.3:3\r\nname\r\nmap\r\n5\r\n1/2\r\ncomment\r\n+\r\nD\r\nL\r\n-\r\n\r\n \r\nx\r\n");
  std::vector<ServerRow> rows;
  EXPECT_FALSE(ReadCheckList(dir / "a.txt", rows));
  EXPECT_FALSE(ReadCheckList(dir / "b.vnx", rows));
  ASSERT_EQ(rows.size(), 3u);  // blank lines and the blank-address record are left out
  EXPECT_EQ(rows[0].address, "10.0.0.1:1");
  EXPECT_EQ(rows[0].cells[kCommentCell], "clan|eu");
  EXPECT_EQ(rows[1].address, "10.0.0.2");
  EXPECT_EQ(rows[2].address, "10.0.0.3:3");
  EXPECT_EQ(rows[2].cells[kCommentCell], "comment");
  const auto missing = ReadCheckList(dir / "missing.txt", rows);
  ASSERT_TRUE(missing);
  EXPECT_EQ(*missing, "Cannot open file (" + (dir / "missing.txt").string() + ")");
  // A folder is read like the window reads it: a file that cannot be opened.
  const auto folder = ReadCheckList(dir.Path(), rows);
  ASSERT_TRUE(folder);
  EXPECT_EQ(*folder, "Cannot open file (" + dir.Path().string() + ")");
  // A file that opens but cannot be read (the first page of memory is never mapped).
  const auto unreadable = ReadCheckList("/proc/self/mem", rows);
  ASSERT_TRUE(unreadable);
  EXPECT_TRUE(unreadable->starts_with("Cannot read file ("));
  EXPECT_EQ(rows.size(), 3u);
  ReadCheckLines("a:1\nb:2|c\n\n", rows);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[4].cells[kCommentCell], "c");
}

TEST(CheckOptions, WatchOptions) {
  const CheckOptions options =
      ParseCheckOptions({"--watch", "30", "--buddy", "Alice", "--buddy=Bob Smith", "--count", "3", "a:1"});
  EXPECT_EQ(options.watchSeconds, 30);
  EXPECT_EQ(options.buddies, (std::vector<std::string>{"Alice", "Bob Smith"}));
  EXPECT_EQ(options.watchCount, 3);
  EXPECT_EQ(options.inputs.size(), 1u);
  EXPECT_EQ(ParseCheckOptions({"a:1"}).watchSeconds, 0);
}

}  // namespace
}  // namespace vantrix

namespace vantrix {
namespace {

TEST(CheckOptions, MasterOptions) {
  const CheckOptions options =
      ParseCheckOptions({"--master", "127.0.0.1:27011", "--region=0x03", "--master-filter", "\\appid\\10",
                         "--limit", "250", "--check", "--filter", "-map:aim_ \"de dust\""});
  EXPECT_EQ(options.master, "127.0.0.1:27011");
  EXPECT_EQ(options.region, 0x03);
  EXPECT_EQ(options.masterFilter, "\\appid\\10");
  EXPECT_EQ(options.filter, "-map:aim_ \"de dust\"");
  EXPECT_EQ(options.limit, 250);
  EXPECT_TRUE(options.checkMaster);
  EXPECT_TRUE(options.inputs.empty());
  EXPECT_EQ(ParseCheckOptions({"--master", "m:1", "--region", "7"}).region, 7);
  EXPECT_EQ(ParseCheckOptions({"--master", "m:1"}).region, 0xFF);
  EXPECT_EQ(ParseCheckOptions({"--master", "m:1"}).limit, 5000);

  EXPECT_THROW(ParseCheckOptions({"--master", "m:1", "--region", "256"}), CheckUsageError);
  EXPECT_THROW(ParseCheckOptions({"--master", "m:1", "--region", "0xZZ"}), CheckUsageError);
  EXPECT_THROW(ParseCheckOptions({"--master", "m:1", "--limit", "0"}), CheckUsageError);
  EXPECT_THROW(ParseCheckOptions({"--check"}), CheckUsageError);
  EXPECT_THROW(ParseCheckOptions({"--master"}), CheckUsageError);
}

TEST(CheckOptions, HistoryOptions) {
  const CheckOptions options =
      ParseCheckOptions({"--history", "10.0.0.5:27015", "--span=30d", "--format", "csv"});
  EXPECT_EQ(options.history, "10.0.0.5:27015");
  EXPECT_EQ(options.span, "30d");
  EXPECT_EQ(ParseCheckOptions({"--history", "a:1"}).span, "24h");
  EXPECT_THROW(ParseCheckOptions({"--history", "a:1", "--span", "1y"}), CheckUsageError);
  EXPECT_THROW(ParseCheckOptions({"--history", "a:1", "--format", "vnx"}), CheckUsageError);
}

}  // namespace
}  // namespace vantrix

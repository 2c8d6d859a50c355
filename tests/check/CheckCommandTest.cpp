#include "check/CheckCommand.h"

#include <optional>
#include <sstream>

#include <gtest/gtest.h>

#include "check/CheckReport.h"
#include "check/ItemEndpoints.h"
#include "support/TestData.h"

namespace vantrix {
namespace {

// Items keep their order; one without an endpoint carries its own error, countries are known
// only where an address is, and none at all without a database.
TEST(CheckCommand, ItemsResolveAndTheReportKeepsTheirOrder) {
  std::vector<CheckItem> items{
      MakeCheckItem(ServerRow::Blank("127.0.0.1:5"), 1), MakeCheckItem(ServerRow::Blank("bad host!"), 1),
      MakeCheckItem(ServerRow::Blank("127.0.0.2:x"), 1), MakeCheckItem(ServerRow::Blank("127.0.0.3"), 7)};
  const ItemEndpoints endpoints = ResolveItems(items);
  EXPECT_EQ(endpoints.endpoints, (std::vector<IPv4Endpoint>{{0x7F000001, 5}, {0x7F000003, 7}}));
  EXPECT_EQ(endpoints.ofItem, (std::vector<std::size_t>{0, ItemEndpoints::kNone, ItemEndpoints::kNone, 1}));
  const CheckResult answered{
      .status = CheckStatus::kAnswered, .error = "", .pingUs = 1000, .info = {}, .players = {}, .rules = {}};
  const auto resultFor = [&](std::size_t endpoint) -> const CheckResult& {
    EXPECT_LT(endpoint, 2u);
    return answered;
  };
  const auto country = [](std::uint32_t address) { return address == 0x7F000003 ? std::string("ZZ") : ""; };
  const CheckReport report = AssembleReport(items, endpoints, resultFor, country);
  ASSERT_EQ(report.results.size(), 4u);
  EXPECT_EQ(report.results[0], answered);
  EXPECT_EQ(report.results[1].error, "cannot resolve host 'bad host!'");
  EXPECT_EQ(report.results[2].error, "bad port 'x'");
  EXPECT_EQ(report.results[2].status, CheckStatus::kError);
  EXPECT_EQ(report.countries, (std::vector<std::string>{"", "", "", "ZZ"}));
  EXPECT_TRUE(AssembleReport(items, endpoints, resultFor, {}).countries.empty());
}

// The master's list from the Web API (no network: the seam answers), printed one address a
// line, and the command's own failures. "KEY" stands for the key file's path.
TEST(CheckCommand, WebApiListsAndTheCommandsFailures) {
  enum Setup { kWell, kNoKeyFile, kBuiltWithout, kOutputFails, kNoInputsOnATerminal };
  const WebApiServerList two{
      .addresses = {{0x0A000001, 27015}, {0x0A000002, 27016}}, .skipped = 0, .error = ""};
  const WebApiServerList refused{
      .addresses = {}, .skipped = 0, .error = "Error: Web API refused the key (HTTP 403)"};
  const std::string url = "http://127.0.0.1:1/list";
  struct Case {
    const char* name;
    Setup setup;
    std::vector<std::string> extra;  // options after the Web API's
    const WebApiServerList& reply;
    const char* asked;  // the URL's query, "" when the Web API is not asked
    const char* output;
    const char* errors;
    int status;
  };
  // clang-format off
  const Case cases[]{
      {"listed", kWell, {}, two, "?key=abc&filter=&limit=5000", "10.0.0.1:27015\n10.0.0.2:27016\n", "", 0},
      {"filtered", kWell, {"--filter", "addr:.2:", "--limit", "9"}, two, "?key=abc&filter=&limit=9",
       "10.0.0.2:27016\n", "", 0},
      {"refused", kWell, {}, refused, "?key=abc&filter=&limit=5000", "",
       "vantrix-check: Error: Web API refused the key (HTTP 403)\n", 1},
      {"no key file", kNoKeyFile, {}, two, "", "", "vantrix-check: Error: Cannot read the key file KEY\n", 1},
      {"built without", kBuiltWithout, {}, two, "", "",
       "vantrix-check: Error: this vantrix-check was built without the Web API (it needs Qt Network)\n", 1},
      {"output fails", kOutputFails, {}, two, "?key=abc&filter=&limit=5000", "",
       "vantrix-check: cannot write the output\n", 1},
      {"no servers", kNoInputsOnATerminal, {}, two, "", "",
       "vantrix-check: no servers given\n(vantrix-check --help shows the options)\n", kUsageStatus},
  };
  // clang-format on
  for (const Case& c : cases) {
    test::TempDir dir;
    const std::string keyPath = (dir / "key").string();
    if (c.setup != kNoKeyFile) test::Spit(keyPath, " abc \r\nnext\n");
    std::vector<std::string> arguments{"--api-key-file", keyPath, "--web-api-url", url};
    if (c.setup == kNoInputsOnATerminal) arguments.clear();
    arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
    std::string output, asked;
    std::ostringstream errors;
    const CheckConsole console{
        .write = [&](const std::string& text) { return output += text, c.setup != kOutputFails; },
        .errors = &errors,
        .inputIsTerminal = c.setup == kNoInputsOnATerminal,
        .outputIsTerminal = false,
        .errorsIsTerminal = false};
    WebApiAsk webApi;
    if (c.setup != kBuiltWithout)
      webApi = [&](const std::string& asking, std::size_t) { return asked = asking, c.reply; };
    EXPECT_EQ(CheckCommand(ParseCheckOptions(arguments), console, webApi).Run(), c.status) << c.name;
    EXPECT_EQ(asked, *c.asked ? url + c.asked : "") << c.name;
    if (c.setup != kOutputFails) {
      EXPECT_EQ(output, c.output) << c.name;
    }
    std::string expectedErrors = c.errors;
    if (const auto at = expectedErrors.find("KEY"); at != std::string::npos)
      expectedErrors.replace(at, 3, keyPath);
    EXPECT_EQ(errors.str(), expectedErrors) << c.name;
  }
}

}  // namespace
}  // namespace vantrix

#include "core/join/JoinCommand.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/join/CommandWords.h"

namespace vantrix {
namespace {

using Words = std::optional<std::vector<std::string>>;

struct JoinCase {
  const char* what;
  const char* command;
  const char* address;
  std::optional<std::uint16_t> gamePort;
  const char* defaultPort;
  const char* password;
  Words expected;  // nullopt: the command cannot start
};

const JoinCase kCases[] = {
    {"the default opens the link",
     "xdg-open %l",
     "10.0.0.5:27015",
     {},
     "27015",
     "",
     Words{{"xdg-open", "steam://connect/10.0.0.5:27015"}}},
    {"every placeholder",
     "run %h %p %a [%w] %%p 50%",
     "10.0.0.5:27015",
     {},
     "",
     "pw",
     Words{{"run", "10.0.0.5", "27015", "10.0.0.5:27015", "[pw]", "%p", "50%"}}},
    {"an unknown placeholder stays", "run %x%", "h:1", {}, "", "", Words{{"run", "%x%"}}},
    {"the game port wins over the address's", "run %a", "10.0.0.5:27015", 27016, "", "",
     Words{{"run", "10.0.0.5:27016"}}},
    {"no port takes DefaultPort", "run %p", "10.0.0.5", {}, "27020", "", Words{{"run", "27020"}}},
    {"an empty DefaultPort is 27015",
     "run %a",
     "example.org",
     {},
     "",
     "",
     Words{{"run", "example.org:27015"}}},
    {"a name stays a name, spaces and all",
     "run %h",
     "my host;rm -f \"x\":1",
     {},
     "",
     "",
     Words{{"run", "my host;rm -f \"x\""}}},
    {"the password goes encoded into the link",
     "run %l %w",
     "h:1",
     {},
     "",
     "a b/c%",
     Words{{"run", "steam://connect/h:1/a%20b%2Fc%25", "a b/c%"}}},
    {"spaces and tabs separate words", "  a \t b  ", "h:1", {}, "", "", Words{{"a", "b"}}},
    {"quotes group a word",
     "\"my prog\" \"%h x\" y\"z w\"v",
     "h:1",
     {},
     "",
     "",
     Words{{"my prog", "h x", "yz wv"}}},
    {"\"\" inside quotes is one quote",
     "a \"say \"\"hi\"\"\" \"\"\"\"",
     "h:1",
     {},
     "",
     "",
     Words{{"a", "say \"hi\"", "\""}}},
    {"an empty quoted word is a word", "a \"\" b", "h:1", {}, "", "", Words{{"a", "", "b"}}},
    {"an unclosed quote", "a \"b c", "h:1", {}, "", "", std::nullopt},
    {"an empty command", "", "h:1", {}, "", "", std::nullopt},
    {"a command of spaces", "   ", "h:1", {}, "", "", std::nullopt},
};

class JoinCommandTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinCommandTest, SplitsThenExpandsEachWord) {
  const JoinCase& c = GetParam();
  JoinTarget target = JoinTargetOf(c.address, c.gamePort, c.defaultPort);
  target.password = c.password;
  EXPECT_EQ(JoinCommandLine(c.command, target), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, JoinCommandTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return "Case" + std::to_string(param.index); });

TEST(ConnectLink, HasNoPasswordPartWithoutOneAndTheErrorNamesTheCommandAsConfigured) {
  EXPECT_EQ(ConnectLink(JoinTargetOf("example.org:27015", 27020, "")), "steam://connect/example.org:27020");
  EXPECT_EQ(CannotStartMessage("run %l"), "Error: Cannot start (run %l)");
  EXPECT_EQ(SplitCommandWords("a\"b"), std::nullopt);
}

}  // namespace
}  // namespace vantrix

#include "cli/ValueCheck.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantrix {
namespace {

// What each check takes and refuses, and the message that follows the option's name.
TEST(ValueCheck, WholeNumbersAreDecimalAndInRange) {
  const ValueCheck<int> port = WholeNumber(1, 65535);
  const std::vector<std::pair<std::string, std::optional<int>>> cases{
      {"27015", 27015},
      {"010", 10},  // a leading zero is not octal
      {"+7", 7},
      {"1", 1},
      {"65535", 65535},
      {"0", std::nullopt},
      {"65536", std::nullopt},
      {"0x10", std::nullopt},
      {"", std::nullopt},
      {"12 ", std::nullopt},
      {"1e3", std::nullopt},
      {"99999999999", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(port.read(text), expected) << "'" << text << "'";
  EXPECT_EQ(port.refusal("x"), "needs a whole number from 1 to 65535, not 'x'");
}

TEST(ValueCheck, SharesAreFromZeroToOne) {
  const ValueCheck<double> share = Share();
  const std::vector<std::pair<std::string, std::optional<double>>> cases{
      {"0", 0.0},
      {"1", 1.0},
      {"0.25", 0.25},
      {"1.5", std::nullopt},
      {"-0.1", std::nullopt},
      {"nan", std::nullopt},
      {"0.5x", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(share.read(text), expected) << "'" << text << "'";
  EXPECT_EQ(share.refusal("2"), "needs a share from 0 to 1, not '2'");
}

TEST(ValueCheck, OneOfTakesEveryWordAndListsTheNamedOnes) {
  const ValueCheck<int> query =
      OneOf<int>({{"current", 1}, {"info", 1}, {"original", 2}}, "current or original");
  EXPECT_EQ(query.read("info"), 1);
  EXPECT_EQ(query.read("original"), 2);
  EXPECT_EQ(query.read("Original"), std::nullopt);  // words are exact
  EXPECT_EQ(query.refusal("x"), "is current or original, not 'x'");
  EXPECT_EQ(SomeText("needs a file").read(""), std::nullopt);
  EXPECT_EQ(AnyText().read(""), std::string());
}

}  // namespace
}  // namespace vantrix

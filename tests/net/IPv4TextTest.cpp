#include "net/IPv4Text.h"

#include <cstdio>
#include <random>
#include <regex>
#include <string>

#include <gtest/gtest.h>

namespace vantrix {
namespace {

// Literal reading of the dotted rule: four runs of decimal digits joined by three dots,
// each run's value 0..255 however many leading zeros it carries.
std::optional<std::uint32_t> ReferenceParse(const std::string& text) {
  static const std::regex kShape(R"(^([0-9]+)\.([0-9]+)\.([0-9]+)\.([0-9]+)$)");
  std::smatch match;
  if (!std::regex_match(text, match, kShape)) return std::nullopt;
  std::uint32_t address = 0;
  for (int i = 1; i <= 4; ++i) {
    std::string digits = match[i].str();
    const std::size_t first = digits.find_first_not_of('0');
    digits = first == std::string::npos ? "0" : digits.substr(first);
    if (digits.size() > 3) return std::nullopt;
    const unsigned long value = std::stoul(digits);
    if (value > 255) return std::nullopt;
    address = (address << 8) | static_cast<std::uint32_t>(value);
  }
  return address;
}

std::string ReferenceFormat(std::uint32_t address) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 255u,
                (address >> 8) & 255u, address & 255u);
  return text;
}

TEST(IPv4Text, ParsesDottedAddressesAsDecimal) {
  EXPECT_EQ(ParseDottedIPv4("0.0.0.0"), 0u);
  EXPECT_EQ(ParseDottedIPv4("255.255.255.255"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseDottedIPv4("192.168.0.20"), 0xC0A80014u);
  // Leading zeros never switch to octal: 010 is ten, 0127 is one hundred and twenty-seven.
  EXPECT_EQ(ParseDottedIPv4("010.0.0.1"), 0x0A000001u);
  EXPECT_EQ(ParseDottedIPv4("0127.000.000.001"), 0x7F000001u);
  EXPECT_EQ(ParseDottedIPv4("0000000000000000000000001.2.3.4"), 0x01020304u);
  EXPECT_EQ(ParseDottedIPv4("08.09.0.0"), 0x08090000u);
}

TEST(IPv4Text, RefusesEverythingElse) {
  for (const char* text : {"", "1.2.3", "1.2.3.", ".1.2.3", "1..2.3", "1.2.3.4.5", "10.0.0.256", "256.0.0.1",
                           "+1.2.3.4", "1.2.3.-4", " 1.2.3.4", "1.2.3.4 ", "1 .2.3.4", "0x1.2.3.4",
                           "1.2.3.4a", "99999999999999999999.1.1.1", "1.2.3.1000", "localhost", "...."}) {
    EXPECT_FALSE(ParseDottedIPv4(text).has_value()) << '"' << text << '"';
  }
  EXPECT_FALSE(ParseDottedIPv4(std::string_view("1.2.3.4\0", 8)).has_value());
}

TEST(IPv4Text, AgreesWithReferenceOnRandomTexts) {
  std::mt19937 random(20240611);
  // Mostly digit runs between dots, with now and then a stray character or a missing run.
  const std::string strays = "+- x.a";
  std::uniform_int_distribution<int> groups(2, 5);
  std::uniform_int_distribution<int> runLength(0, 3);
  std::uniform_int_distribution<int> digit(0, 9);
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<std::size_t> stray(0, strays.size() - 1);
  int valid = 0;
  int invalid = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int count = percent(random) < 70 ? 4 : groups(random);
    for (int g = 0; g < count; ++g) {
      if (g != 0) text += '.';
      const int length = runLength(random);
      for (int i = 0; i < length; ++i) {
        text += percent(random) < 4 ? strays[stray(random)] : static_cast<char>('0' + digit(random));
      }
    }
    const auto expected = ReferenceParse(text);
    ASSERT_EQ(ParseDottedIPv4(text), expected) << '"' << text << '"';
    (expected ? valid : invalid) += 1;
  }
  // Both sides must be reached, or the comparison proves little.
  EXPECT_GT(valid, 500);
  EXPECT_GT(invalid, 500);
}

TEST(IPv4Text, AgreesWithReferenceOnPaddedAddresses) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> octet(0, 300);
  std::uniform_int_distribution<int> zeros(0, 3);
  for (int round = 0; round < 5000; ++round) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
      if (i != 0) text += '.';
      text += std::string(static_cast<std::size_t>(zeros(random)), '0') + std::to_string(octet(random));
    }
    ASSERT_EQ(ParseDottedIPv4(text), ReferenceParse(text)) << text;
  }
}

TEST(IPv4Text, FormatsWithoutLeadingZerosAndRoundTrips) {
  EXPECT_EQ(FormatIPv4(0x7F000001u), "127.0.0.1");
  EXPECT_EQ(FormatIPv4(0xC0A80014u), "192.168.0.20");
  EXPECT_EQ(FormatIPv4(0), "0.0.0.0");
  std::mt19937 random(99);
  for (int round = 0; round < 5000; ++round) {
    const std::uint32_t address = static_cast<std::uint32_t>(random());
    const std::string text = FormatIPv4(address);
    ASSERT_EQ(text, ReferenceFormat(address));
    ASSERT_EQ(ParseDottedIPv4(text), address);
  }
}

}  // namespace
}  // namespace vantrix

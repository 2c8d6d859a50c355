#include "core/settings/SettingsNumbers.h"

#include <cctype>
#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "core/util/ConversionError.h"

namespace vantrix {
namespace {

// Straightforward reading of the same rules through the standard library, for comparison.
std::optional<std::int32_t> ReferenceParse(const std::string& text) {
  std::string body = text;
  bool negative = false;
  if (!body.empty() && (body[0] == '-' || body[0] == '+')) {
    negative = body[0] == '-';
    body.erase(0, 1);
  }
  const bool hex = !body.empty() && body[0] == '$';
  if (hex) body.erase(0, 1);
  if (body.empty()) return std::nullopt;
  for (const char c : body) {
    if (hex ? !std::isxdigit(static_cast<unsigned char>(c)) : !std::isdigit(static_cast<unsigned char>(c))) {
      return std::nullopt;
    }
  }
  const size_t firstSignificant = body.find_first_not_of('0');
  const std::string significant = firstSignificant == std::string::npos ? "0" : body.substr(firstSignificant);
  if (significant.size() > (hex ? 8u : 10u)) return std::nullopt;
  const unsigned long long magnitude = std::stoull(significant, nullptr, hex ? 16 : 10);
  if (hex) {
    const auto bits = static_cast<std::uint32_t>(magnitude);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
  }
  const long long value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

TEST(WholeNumber, ReadsDecimalAndDollarHexadecimal) {
  EXPECT_EQ(ParseWholeNumber("8192"), 8192);
  EXPECT_EQ(ParseWholeNumber("-5"), -5);
  EXPECT_EQ(ParseWholeNumber("+5"), 5);
  EXPECT_EQ(ParseWholeNumber("007"), 7);
  EXPECT_EQ(ParseWholeNumber("2147483647"), INT32_MAX);
  EXPECT_EQ(ParseWholeNumber("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseWholeNumber("$10"), 16);
  EXPECT_EQ(ParseWholeNumber("$aBc"), 0xABC);
  EXPECT_EQ(ParseWholeNumber("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseWholeNumber("-$10"), -16);
  for (const char* bad : {"", "-", "+", "$", "-$", " 1", "1 ", "1.0", "1e3", "0x10", "$-1", "2147483648",
                          "-2147483649", "$100000000", "99999999999", "12=3"}) {
    EXPECT_FALSE(ParseWholeNumber(bad)) << '"' << bad << '"';
  }
}

TEST(WholeNumber, AgreesWithAReferenceOnRandomTexts) {
  std::mt19937 random(3);
  const std::string alphabet = "0123456789abcdefABCDEFxg$-+ ";
  for (int i = 0; i < 50000; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % 13);
    const bool digitsOnly = random() % 2 == 0;
    if (random() % 3 == 0) text += "-+$"[random() % 3];
    if (random() % 3 == 0) text += '$';
    for (int k = 0; k < length; ++k) {
      text += digitsOnly ? static_cast<char>('0' + random() % 10) : alphabet[random() % alphabet.size()];
    }
    ASSERT_EQ(ParseWholeNumber(text), ReferenceParse(text)) << '"' << text << '"';
  }
}

TEST(WholeNumber, ConversionErrorCarriesTheText) {
  try {
    WholeNumberFromText("12ab");
    FAIL() << "no error";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'12ab' is not a valid integer value");
  }
  EXPECT_EQ(WholeNumberFromText("$FF"), 255);
  EXPECT_EQ(NotAnIntegerMessage(""), "'' is not a valid integer value");
}

TEST(UdpDelay, FallsBackClampsAndNeverChangesMeaningInRange) {
  EXPECT_EQ(UdpDelayMilliseconds("5"), 5);
  EXPECT_EQ(UdpDelayMilliseconds("250"), 250);
  EXPECT_EQ(UdpDelayMilliseconds("0"), 0);
  EXPECT_EQ(UdpDelayMilliseconds("999"), 999);
  EXPECT_EQ(UdpDelayMilliseconds("$10"), 16);
  EXPECT_EQ(UdpDelayMilliseconds("abc"), 5);
  EXPECT_EQ(UdpDelayMilliseconds(""), 5);
  EXPECT_EQ(UdpDelayMilliseconds(" 7"), 5);
  EXPECT_EQ(UdpDelayMilliseconds("-3"), 0);
  EXPECT_EQ(UdpDelayMilliseconds("1000"), 999);
  EXPECT_EQ(UdpDelayMilliseconds("99999999"), 999);
  EXPECT_EQ(UdpDelayMilliseconds("-2147483648"), 0);
  for (int ms = 0; ms <= 999; ++ms) ASSERT_EQ(UdpDelayMilliseconds(std::to_string(ms)), ms);
}

TEST(BufferSize, KeepsItsMeaningAndRejectsNonNumbers) {
  EXPECT_EQ(BufferSizeFromText("8192"), 8192);
  EXPECT_EQ(BufferSizeFromText("123456"), 123456);
  EXPECT_EQ(BufferSizeFromText("2000000000"), 2000000000);
  EXPECT_GT(BufferSizeFromText("2000000000"), kLargestDatagram);
  EXPECT_EQ(BufferSizeFromText("0"), 0);
  EXPECT_EQ(BufferSizeFromText("-1"), -1);
  EXPECT_THROW(BufferSizeFromText("8k"), ConversionError);
  EXPECT_THROW(BufferSizeFromText(""), ConversionError);
  EXPECT_THROW(BufferSizeFromText("99999999999"), ConversionError);
}

}  // namespace
}  // namespace vantrix

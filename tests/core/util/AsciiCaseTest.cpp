#include "core/util/AsciiCase.h"

#include <string>

#include <gtest/gtest.h>

#include "core/util/Utf8.h"

namespace vantrix {
namespace {

TEST(AsciiCase, MapsOnlyTheAsciiLettersAndLeavesEveryOtherByte) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  const std::string lower = AsciiLower(all);
  const std::string upper = AsciiUpper(all);
  ASSERT_EQ(lower.size(), all.size());
  ASSERT_EQ(upper.size(), all.size());
  for (int byte = 0; byte < 256; ++byte) {
    const auto i = static_cast<std::size_t>(byte);
    const bool capital = byte >= 'A' && byte <= 'Z';
    const bool small = byte >= 'a' && byte <= 'z';
    EXPECT_EQ(static_cast<unsigned char>(lower[i]), capital ? byte + 32 : byte) << byte;
    EXPECT_EQ(static_cast<unsigned char>(upper[i]), small ? byte - 32 : byte) << byte;
  }
}

TEST(AsciiCase, EqualIgnoringCaseComparesWholeTexts) {
  EXPECT_TRUE(AsciiEqualIgnoringCase("clMoneyGreen", "CLMONEYGREEN"));
  EXPECT_TRUE(AsciiEqualIgnoringCase("", ""));
  EXPECT_FALSE(AsciiEqualIgnoringCase("localhost", "localhost."));
  EXPECT_FALSE(AsciiEqualIgnoringCase("a[", "A{"));      // '[' and '{' differ by 32 too
  EXPECT_FALSE(AsciiEqualIgnoringCase("\xE9", "\xC9"));  // Latin-1 letters are not folded
  static_assert(AsciiEqualIgnoringCase("AbC", "aBc"));
}

TEST(Utf8, SequenceLengthsAndStrictValidity) {
  EXPECT_EQ(Utf8SequenceLength("a", 0), 1u);
  EXPECT_EQ(Utf8SequenceLength("\xC3\xA9", 0), 2u);
  EXPECT_EQ(Utf8SequenceLength("\xE2\x82\xAC", 0), 3u);
  EXPECT_EQ(Utf8SequenceLength("\xF0\x9F\x98\x80", 0), 4u);
  EXPECT_EQ(Utf8SequenceLength("x\xC3\xA9", 1), 2u);
  EXPECT_EQ(Utf8SequenceLength("\xC3", 0), 0u);              // cut short
  EXPECT_EQ(Utf8SequenceLength("\xE0\x80\x80", 0), 0u);      // overlong
  EXPECT_EQ(Utf8SequenceLength("\xED\xBF\xBF", 0), 0u);      // surrogate
  EXPECT_EQ(Utf8SequenceLength("\xF4\x90\x80\x80", 0), 0u);  // past U+10FFFF
  EXPECT_EQ(Utf8SequenceLength("\x80", 0), 0u);              // a continuation byte first
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF itself
  EXPECT_FALSE(IsValidUtf8("ok\xC3\x28"));
}

}  // namespace
}  // namespace vantrix

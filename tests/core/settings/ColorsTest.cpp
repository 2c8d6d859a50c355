#include "core/settings/Colors.h"

#include <cctype>
#include <random>
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "core/util/ConversionError.h"

namespace vantrix {
namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

TEST(Colors, PickerOffersTheFiftyColoursInGroupOrder) {
  const auto picker = PickerColors();
  ASSERT_EQ(picker.size(), 50u);
  EXPECT_EQ(picker[0].value, clBlack);
  EXPECT_EQ(picker[15].value, clWhite);
  EXPECT_EQ(picker[16].value, clMoneyGreen);
  EXPECT_EQ(picker[19].value, clMedGray);
  EXPECT_EQ(picker[20].value, clActiveBorder);
  EXPECT_EQ(picker[49].value, clWindowText);
  EXPECT_EQ(picker[15].displayName, "White");
  EXPECT_EQ(picker[16].displayName, "Money Green");
  EXPECT_EQ(picker[20].displayName, "Active Border");

  std::set<ColorValue> values;
  std::set<std::string> names;
  std::set<std::string> displayNames;
  std::set<ColorValue> schemeIndices;
  for (std::size_t i = 0; i < picker.size(); ++i) {
    const NamedColor& color = picker[i];
    values.insert(color.value);
    names.insert(Lower(color.name));
    displayNames.insert(std::string(color.displayName));
    EXPECT_TRUE(color.name.starts_with("cl")) << color.name;
    EXPECT_FALSE(color.displayName.starts_with("cl")) << color.displayName;
    EXPECT_FALSE(color.displayName.empty());
    if (i < 20) {
      EXPECT_EQ(color.value >> 24, 0u) << color.name;  // RGB colours
    } else {
      EXPECT_EQ(color.value & 0xFFFFFF00u, kSchemeColorBase) << color.name;
      EXPECT_LT(color.value & 0xFFu, kSchemeColorCount) << color.name;
      schemeIndices.insert(color.value & 0xFFu);
    }
    EXPECT_EQ(PickerIndexOf(color.value), i);
  }
  EXPECT_EQ(values.size(), 50u);
  EXPECT_EQ(names.size(), 50u);  // unique even without regard to case
  EXPECT_EQ(displayNames.size(), 50u);
  EXPECT_EQ(schemeIndices.size(), 30u);

  const auto all = NamedColors();
  ASSERT_EQ(all.size(), 52u);
  EXPECT_EQ(all[50].value, clNone);
  EXPECT_EQ(all[51].value, clDefault);
  EXPECT_EQ(all[50].name, "clNone");
  EXPECT_EQ(all[51].name, "clDefault");
  EXPECT_FALSE(PickerIndexOf(clNone));
  EXPECT_FALSE(PickerIndexOf(clDefault));
  EXPECT_FALSE(PickerIndexOf(0x00123456));
}

TEST(Colors, EveryNameRoundTripsInAnyCase) {
  for (const NamedColor& color : NamedColors()) {
    EXPECT_EQ(ColorToText(color.value), color.name);
    EXPECT_EQ(ColorName(color.value), color.name);
    EXPECT_EQ(ColorFromText(color.name), color.value) << color.name;
    EXPECT_EQ(ColorFromText(Upper(color.name)), color.value) << color.name;
    EXPECT_EQ(ColorFromText(Lower(color.name)), color.value) << color.name;
    char hex[16];
    std::snprintf(hex, sizeof hex, "$%08X", color.value);
    EXPECT_EQ(ColorFromText(hex), color.value) << hex;  // a named value given as a number
    EXPECT_EQ(ColorToText(ColorFromText(hex)), color.name);
  }
  EXPECT_EQ(ColorFromText("CLMONEYGREEN"), clMoneyGreen);
  EXPECT_EQ(ColorFromText("cl3ddkshadow"), cl3DDkShadow);
}

TEST(Colors, NumbersInDecimalOrHexadecimal) {
  EXPECT_EQ(ColorFromText("$0000FF00"), clLime);
  EXPECT_EQ(ColorFromText("65280"), clLime);
  EXPECT_EQ(ColorFromText("$FF00"), clLime);
  EXPECT_EQ(ColorFromText("$ff00"), clLime);
  EXPECT_EQ(ColorFromText("$000000000000FF00"), clLime);  // leading zeros of any count
  EXPECT_EQ(ColorFromText("$00FFFFFF"), clWhite);
  EXPECT_EQ(ColorToText(ColorFromText("$00FFFFFF")), "clWhite");
  EXPECT_EQ(ColorFromText("0"), clBlack);
  EXPECT_EQ(ColorFromText("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(ColorFromText("$FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(ColorFromText("123456"), 123456u);
  EXPECT_EQ(ColorFromText("$FF000005"), clWindow);

  // Red 0xFF, green 0x80, blue 0x00.
  EXPECT_EQ(ColorToText(RgbToColor(Rgb{0xFF, 0x80, 0x00})), "$000080FF");
  EXPECT_EQ(ColorToText(123456), "$0001E240");
  EXPECT_EQ(ColorToText(0xFF000019), "$FF000019");  // no scheme colour has index 19 hex
}

TEST(Colors, TextThatIsNeitherNameNorNumberFails) {
  try {
    ColorFromText("xyz");
    FAIL() << "no error";
  } catch (const ConversionError& error) {
    EXPECT_STREQ(error.what(), "'xyz' is not a valid integer value");
  }
  for (const char* bad : {"", " clWhite", "clWhite ", "White", "$", "$G1", "12a", "0x10", " 5", "5 ",
                          "$1FFFFFFFF", "4294967296", "2147483648", "--1", "+-1", "cl White"}) {
    EXPECT_THROW(ColorFromText(bad), ConversionError) << '"' << bad << '"';
  }
}

TEST(Colors, ArbitraryValuesRoundTripThroughText) {
  std::mt19937 random(7);
  std::set<ColorValue> named;
  for (const NamedColor& color : NamedColors()) named.insert(color.value);
  const std::regex hexForm(R"(^\$[0-9A-F]{8}$)");
  const ColorValue highBytes[] = {0x00000000, 0xFF000000, 0x1F000000, 0x20000000, 0x80000000, 0x7F000000};
  for (int i = 0; i < 20000; ++i) {
    ColorValue value = static_cast<ColorValue>(random());
    if (i % 2 == 0)
      value = highBytes[i / 2 % std::size(highBytes)] | (value & (i % 4 == 0 ? 0xFFu : 0xFFFFFFu));
    const std::string text = ColorToText(value);
    ASSERT_EQ(ColorFromText(text), value) << text;
    if (named.count(value) != 0) {
      EXPECT_TRUE(text.starts_with("cl")) << text;
    } else {
      EXPECT_TRUE(std::regex_match(text, hexForm)) << text;
      EXPECT_EQ(std::stoul(text.substr(1), nullptr, 16), value);
    }
  }
}

TEST(Colors, ValuesTurnIntoRgbForDisplay) {
  EXPECT_EQ(ColorToRgb(clRed), (Rgb{255, 0, 0}));
  EXPECT_EQ(ColorToRgb(clBlue), (Rgb{0, 0, 255}));
  EXPECT_EQ(ColorToRgb(clMoneyGreen), (Rgb{0xC0, 0xDC, 0xC0}));
  EXPECT_EQ(ColorToRgb(clSkyBlue), (Rgb{0xA6, 0xCA, 0xF0}));
  EXPECT_EQ(ColorToRgb(0x00563412), (Rgb{0x12, 0x34, 0x56}));

  std::mt19937 random(11);
  for (int i = 0; i < 1000; ++i) {
    const ColorValue value = static_cast<ColorValue>(random()) & 0x00FFFFFFu;
    const auto rgb = ColorToRgb(value);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->red, value & 0xFF);
    EXPECT_EQ(rgb->blue, value >> 16);
    EXPECT_EQ(RgbToColor(*rgb), value);
  }

  // Every scheme colour the pickers offer has a colour to paint.
  for (const NamedColor& color : PickerColors()) EXPECT_TRUE(ColorToRgb(color.value)) << color.name;
  EXPECT_EQ(ColorToRgb(clWindow), (Rgb{255, 255, 255}));
  EXPECT_EQ(ColorToRgb(clWindowText), (Rgb{0, 0, 0}));
  EXPECT_EQ(ColorToRgb(clBtnFace), SchemeColorRgb(0x0F));
  EXPECT_NE(ColorToRgb(clHighlight), ColorToRgb(clHighlightText));

  EXPECT_FALSE(ColorToRgb(clNone));
  EXPECT_FALSE(ColorToRgb(clDefault));
  EXPECT_FALSE(ColorToRgb(0xFF000019));  // index the scheme lacks
  EXPECT_FALSE(ColorToRgb(0xFF00001F));
  EXPECT_FALSE(ColorToRgb(0xFF000105));  // not of the FF0000nn form
  EXPECT_FALSE(SchemeColorRgb(31));
}

}  // namespace
}  // namespace vantrix

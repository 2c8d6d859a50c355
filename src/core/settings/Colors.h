#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vantrix {

// A 32-bit colour value: an RGB colour as 00BBGGRR (high byte zero, then blue, green, red),
// a reference to a colour of the desktop's scheme as FF0000nn (nn the scheme index), or one
// of the two markers clNone and clDefault.
using ColorValue = std::uint32_t;

// Standard colours.
inline constexpr ColorValue clBlack = 0x00000000;
inline constexpr ColorValue clMaroon = 0x00000080;
inline constexpr ColorValue clGreen = 0x00008000;
inline constexpr ColorValue clOlive = 0x00008080;
inline constexpr ColorValue clNavy = 0x00800000;
inline constexpr ColorValue clPurple = 0x00800080;
inline constexpr ColorValue clTeal = 0x00808000;
inline constexpr ColorValue clGray = 0x00808080;
inline constexpr ColorValue clSilver = 0x00C0C0C0;
inline constexpr ColorValue clRed = 0x000000FF;
inline constexpr ColorValue clLime = 0x0000FF00;
inline constexpr ColorValue clYellow = 0x0000FFFF;
inline constexpr ColorValue clBlue = 0x00FF0000;
inline constexpr ColorValue clFuchsia = 0x00FF00FF;
inline constexpr ColorValue clAqua = 0x00FFFF00;
inline constexpr ColorValue clWhite = 0x00FFFFFF;
// Extra colours.
inline constexpr ColorValue clMoneyGreen = 0x00C0DCC0;
inline constexpr ColorValue clSkyBlue = 0x00F0CAA6;
inline constexpr ColorValue clCream = 0x00F0FBFF;
inline constexpr ColorValue clMedGray = 0x00A4A0A0;
// Scheme colours.
inline constexpr ColorValue kSchemeColorBase = 0xFF000000;
inline constexpr ColorValue clScrollBar = kSchemeColorBase | 0x00;
inline constexpr ColorValue clBackground = kSchemeColorBase | 0x01;
inline constexpr ColorValue clActiveCaption = kSchemeColorBase | 0x02;
inline constexpr ColorValue clInactiveCaption = kSchemeColorBase | 0x03;
inline constexpr ColorValue clMenu = kSchemeColorBase | 0x04;
inline constexpr ColorValue clWindow = kSchemeColorBase | 0x05;
inline constexpr ColorValue clWindowFrame = kSchemeColorBase | 0x06;
inline constexpr ColorValue clMenuText = kSchemeColorBase | 0x07;
inline constexpr ColorValue clWindowText = kSchemeColorBase | 0x08;
inline constexpr ColorValue clCaptionText = kSchemeColorBase | 0x09;
inline constexpr ColorValue clActiveBorder = kSchemeColorBase | 0x0A;
inline constexpr ColorValue clInactiveBorder = kSchemeColorBase | 0x0B;
inline constexpr ColorValue clAppWorkSpace = kSchemeColorBase | 0x0C;
inline constexpr ColorValue clHighlight = kSchemeColorBase | 0x0D;
inline constexpr ColorValue clHighlightText = kSchemeColorBase | 0x0E;
inline constexpr ColorValue clBtnFace = kSchemeColorBase | 0x0F;
inline constexpr ColorValue clBtnShadow = kSchemeColorBase | 0x10;
inline constexpr ColorValue clGrayText = kSchemeColorBase | 0x11;
inline constexpr ColorValue clBtnText = kSchemeColorBase | 0x12;
inline constexpr ColorValue clInactiveCaptionText = kSchemeColorBase | 0x13;
inline constexpr ColorValue clBtnHighlight = kSchemeColorBase | 0x14;
inline constexpr ColorValue cl3DDkShadow = kSchemeColorBase | 0x15;
inline constexpr ColorValue cl3DLight = kSchemeColorBase | 0x16;
inline constexpr ColorValue clInfoText = kSchemeColorBase | 0x17;
inline constexpr ColorValue clInfoBk = kSchemeColorBase | 0x18;
inline constexpr ColorValue clHotLight = kSchemeColorBase | 0x1A;
inline constexpr ColorValue clGradientActiveCaption = kSchemeColorBase | 0x1B;
inline constexpr ColorValue clGradientInactiveCaption = kSchemeColorBase | 0x1C;
inline constexpr ColorValue clMenuHighlight = kSchemeColorBase | 0x1D;
inline constexpr ColorValue clMenuBar = kSchemeColorBase | 0x1E;
// Markers, never offered by the pickers.
inline constexpr ColorValue clNone = 0x1FFFFFFF;
inline constexpr ColorValue clDefault = 0x20000000;

// One named colour: the name used in config.ini, the English name a picker shows, the value.
struct NamedColor {
  std::string_view name;
  std::string_view displayName;
  ColorValue value;
};

inline constexpr std::size_t kPickerColorCount = 50;

// The 50 colours the pickers offer, in their order: 16 standard, 4 extra, 30 scheme colours.
std::span<const NamedColor> PickerColors();

// Every named colour: the picker colours followed by clNone and clDefault.
std::span<const NamedColor> NamedColors();

// Position of the value among PickerColors(); empty when the pickers do not offer it.
std::optional<std::size_t> PickerIndexOf(ColorValue value);

// The colour's name ("clWhite"), empty when it has none.
std::optional<std::string_view> ColorName(ColorValue value);

// Reads a colour: a name from the table in any letter case, or a whole number (decimal, or
// hexadecimal after "$", e.g. "$FF00"). Spaces are not skipped. Throws ConversionError
// ("'xyz' is not a valid integer value") when the text is neither.
ColorValue ColorFromText(std::string_view text);

// Writes a colour: its name when it has one, otherwise "$" and exactly eight upper-case
// hexadecimal digits of the value.
std::string ColorToText(ColorValue value);

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr std::size_t kSchemeColorCount = 31;  // scheme indices 0x00 .. 0x1E

// The default desktop palette for a scheme index; empty for an index the scheme lacks.
std::optional<Rgb> SchemeColorRgb(std::uint8_t index);

// The colour to paint for a value: an RGB colour with its bytes swapped from 00BBGGRR, a
// scheme colour from the default desktop palette. Empty when the value names no colour
// to paint (clNone, clDefault, a scheme index the palette lacks, any other high byte):
// the widget then keeps its own default.
std::optional<Rgb> ColorToRgb(ColorValue value);

// The value of an RGB colour (00BBGGRR).
ColorValue RgbToColor(Rgb rgb);

}  // namespace vantrix

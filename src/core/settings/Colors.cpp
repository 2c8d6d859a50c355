#include "core/settings/Colors.h"

#include <array>
#include <cstdio>

#include "core/settings/SettingsNumbers.h"
#include "core/util/AsciiCase.h"

namespace vantrix {

namespace {

constexpr std::array<NamedColor, kPickerColorCount + 2> kNamedColors{{
    {"clBlack", "Black", clBlack},
    {"clMaroon", "Maroon", clMaroon},
    {"clGreen", "Green", clGreen},
    {"clOlive", "Olive", clOlive},
    {"clNavy", "Navy", clNavy},
    {"clPurple", "Purple", clPurple},
    {"clTeal", "Teal", clTeal},
    {"clGray", "Gray", clGray},
    {"clSilver", "Silver", clSilver},
    {"clRed", "Red", clRed},
    {"clLime", "Lime", clLime},
    {"clYellow", "Yellow", clYellow},
    {"clBlue", "Blue", clBlue},
    {"clFuchsia", "Fuchsia", clFuchsia},
    {"clAqua", "Aqua", clAqua},
    {"clWhite", "White", clWhite},
    {"clMoneyGreen", "Money Green", clMoneyGreen},
    {"clSkyBlue", "Sky Blue", clSkyBlue},
    {"clCream", "Cream", clCream},
    {"clMedGray", "Medium Gray", clMedGray},
    {"clActiveBorder", "Active Border", clActiveBorder},
    {"clActiveCaption", "Active Caption", clActiveCaption},
    {"clAppWorkSpace", "Application Workspace", clAppWorkSpace},
    {"clBackground", "Background", clBackground},
    {"clBtnFace", "Button Face", clBtnFace},
    {"clBtnHighlight", "Button Highlight", clBtnHighlight},
    {"clBtnShadow", "Button Shadow", clBtnShadow},
    {"clBtnText", "Button Text", clBtnText},
    {"clCaptionText", "Caption Text", clCaptionText},
    {"clGradientActiveCaption", "Gradient Active Caption", clGradientActiveCaption},
    {"clGradientInactiveCaption", "Gradient Inactive Caption", clGradientInactiveCaption},
    {"clGrayText", "Gray Text", clGrayText},
    {"clHighlight", "Highlight Background", clHighlight},
    {"clHighlightText", "Highlight Text", clHighlightText},
    {"clHotLight", "Hot Light", clHotLight},
    {"clInactiveBorder", "Inactive Border", clInactiveBorder},
    {"clInactiveCaption", "Inactive Caption", clInactiveCaption},
    {"clInactiveCaptionText", "Inactive Caption Text", clInactiveCaptionText},
    {"clInfoBk", "Info Background", clInfoBk},
    {"clInfoText", "Info Text", clInfoText},
    {"clMenu", "Menu Background", clMenu},
    {"clMenuBar", "Menu Bar", clMenuBar},
    {"clMenuHighlight", "Menu Highlight", clMenuHighlight},
    {"clMenuText", "Menu Text", clMenuText},
    {"clScrollBar", "Scroll Bar", clScrollBar},
    {"cl3DDkShadow", "3D Dark Shadow", cl3DDkShadow},
    {"cl3DLight", "3D Light", cl3DLight},
    {"clWindow", "Window Background", clWindow},
    {"clWindowFrame", "Window Frame", clWindowFrame},
    {"clWindowText", "Window Text", clWindowText},
    {"clNone", "None", clNone},
    {"clDefault", "Default", clDefault},
}};

// A light grey desktop with dark blue captions; index 0x19 is not a scheme colour.
constexpr std::array<std::optional<Rgb>, kSchemeColorCount> kSchemePalette{{
    Rgb{212, 208, 200},  // 00 scroll bar
    Rgb{58, 110, 165},   // 01 desktop background
    Rgb{10, 36, 106},    // 02 active caption
    Rgb{128, 128, 128},  // 03 inactive caption
    Rgb{212, 208, 200},  // 04 menu
    Rgb{255, 255, 255},  // 05 window
    Rgb{0, 0, 0},        // 06 window frame
    Rgb{0, 0, 0},        // 07 menu text
    Rgb{0, 0, 0},        // 08 window text
    Rgb{255, 255, 255},  // 09 caption text
    Rgb{212, 208, 200},  // 0A active border
    Rgb{212, 208, 200},  // 0B inactive border
    Rgb{128, 128, 128},  // 0C application workspace
    Rgb{10, 36, 106},    // 0D highlight
    Rgb{255, 255, 255},  // 0E highlight text
    Rgb{212, 208, 200},  // 0F button face
    Rgb{128, 128, 128},  // 10 button shadow
    Rgb{128, 128, 128},  // 11 grey text
    Rgb{0, 0, 0},        // 12 button text
    Rgb{212, 208, 200},  // 13 inactive caption text
    Rgb{255, 255, 255},  // 14 button highlight
    Rgb{64, 64, 64},     // 15 3D dark shadow
    Rgb{212, 208, 200},  // 16 3D light
    Rgb{0, 0, 0},        // 17 info text
    Rgb{255, 255, 225},  // 18 info background
    std::nullopt,        // 19
    Rgb{0, 0, 128},      // 1A hot light
    Rgb{166, 202, 240},  // 1B gradient active caption
    Rgb{192, 192, 192},  // 1C gradient inactive caption
    Rgb{49, 106, 197},   // 1D menu highlight
    Rgb{212, 208, 200},  // 1E menu bar
}};

const NamedColor* FindByValue(ColorValue value) {
  for (const NamedColor& color : kNamedColors) {
    if (color.value == value) return &color;
  }
  return nullptr;
}

}  // namespace

std::span<const NamedColor> PickerColors() {
  return std::span(kNamedColors).first(kPickerColorCount);
}

std::span<const NamedColor> NamedColors() {
  return kNamedColors;
}

std::optional<std::size_t> PickerIndexOf(ColorValue value) {
  const auto picker = PickerColors();
  for (std::size_t i = 0; i < picker.size(); ++i) {
    if (picker[i].value == value) return i;
  }
  return std::nullopt;
}

std::optional<std::string_view> ColorName(ColorValue value) {
  const NamedColor* color = FindByValue(value);
  if (color == nullptr) return std::nullopt;
  return color->name;
}

ColorValue ColorFromText(std::string_view text) {
  for (const NamedColor& color : kNamedColors) {
    if (AsciiEqualIgnoringCase(color.name, text)) return color.value;
  }
  return static_cast<ColorValue>(WholeNumberFromText(text));
}

std::string ColorToText(ColorValue value) {
  if (const auto name = ColorName(value)) return std::string(*name);
  char digits[16];
  std::snprintf(digits, sizeof digits, "$%08X", static_cast<unsigned>(value));
  return digits;
}

std::optional<Rgb> SchemeColorRgb(std::uint8_t index) {
  if (index >= kSchemePalette.size()) return std::nullopt;
  return kSchemePalette[index];
}

std::optional<Rgb> ColorToRgb(ColorValue value) {
  const std::uint32_t high = value >> 24;
  if (high == 0x00) {
    return Rgb{static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
               static_cast<std::uint8_t>((value >> 16) & 0xFF)};
  }
  if (high == 0xFF && (value & 0x00FFFF00) == 0)
    return SchemeColorRgb(static_cast<std::uint8_t>(value & 0xFF));
  return std::nullopt;
}

ColorValue RgbToColor(Rgb rgb) {
  return static_cast<ColorValue>(rgb.red) | (static_cast<ColorValue>(rgb.green) << 8) |
         (static_cast<ColorValue>(rgb.blue) << 16);
}

}  // namespace vantrix

#include "gui/text/ColorDisplay.h"

#include <QGuiApplication>

namespace vantrix {

std::optional<QColor> SchemeColorFromPalette(ColorValue value, const QPalette& desktop) {
  if (value >> 24 != 0xFF || (value & 0x00FFFF00) != 0) return std::nullopt;
  auto role = [&desktop](QPalette::ColorRole r) {
    return std::optional<QColor>(desktop.color(QPalette::Active, r));
  };
  switch (value) {
    case clWindow:
      return role(QPalette::Base);
    case clWindowText:
      return role(QPalette::Text);
    case clMenu:
    case clMenuBar:
      return role(QPalette::Window);
    case clMenuText:
      return role(QPalette::WindowText);
    case clHighlight:
    case clMenuHighlight:
      return role(QPalette::Highlight);
    case clHighlightText:
      return role(QPalette::HighlightedText);
    case clBtnFace:
    case clScrollBar:
      return role(QPalette::Button);
    case clBtnText:
      return role(QPalette::ButtonText);
    case clBtnHighlight:
      return role(QPalette::Light);
    case cl3DLight:
      return role(QPalette::Midlight);
    case clBtnShadow:
      return role(QPalette::Dark);
    case cl3DDkShadow:
    case clWindowFrame:
      return role(QPalette::Shadow);
    case clGrayText:
      return desktop.color(QPalette::Disabled, QPalette::Text);
    case clInfoBk:
      return role(QPalette::ToolTipBase);
    case clInfoText:
      return role(QPalette::ToolTipText);
    case clHotLight:
      return role(QPalette::Link);
    default:
      return std::nullopt;
  }
}

QColor ToQColor(ColorValue value, const QColor& fallback, const QPalette& desktop) {
  if (const std::optional<QColor> scheme = SchemeColorFromPalette(value, desktop)) return *scheme;
  const std::optional<Rgb> rgb = ColorToRgb(value);
  if (!rgb) return fallback;
  return QColor(rgb->red, rgb->green, rgb->blue);
}

QColor ToQColor(ColorValue value, const QColor& fallback) {
  return ToQColor(value, fallback, QGuiApplication::palette());
}

}  // namespace vantrix

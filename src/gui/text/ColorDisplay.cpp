#include "gui/text/ColorDisplay.h"

namespace vantrix {

QColor ToQColor(ColorValue value, const QColor& fallback) {
  const std::optional<Rgb> rgb = ColorToRgb(value);
  if (!rgb) return fallback;
  return QColor(rgb->red, rgb->green, rgb->blue);
}

}  // namespace vantrix

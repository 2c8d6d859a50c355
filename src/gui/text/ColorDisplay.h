#pragma once

#include <optional>

#include <QColor>
#include <QPalette>

#include "core/settings/Colors.h"

namespace vantrix {

// The desktop palette's colour for a scheme colour (FF0000nn), when one of its roles is that
// colour; nullopt for other values and for the scheme colours no role stands for (the
// desktop background, title bars and window borders).
std::optional<QColor> SchemeColorFromPalette(ColorValue value, const QPalette& desktop);

// The colour to paint for a colour value: 00BBGGRR as it is, a scheme colour from the
// desktop's palette (or the classic scheme's colour where no role fits); `fallback` for a
// value that names no colour to paint (clNone, clDefault).
QColor ToQColor(ColorValue value, const QColor& fallback, const QPalette& desktop);
// The same with the running desktop's palette.
QColor ToQColor(ColorValue value, const QColor& fallback);

}  // namespace vantrix

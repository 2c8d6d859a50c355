#pragma once

#include <QColor>

#include "core/settings/Colors.h"

namespace vantrix {

// The colour to paint for a colour value (00BBGGRR, or a scheme colour from the default
// desktop palette); `fallback` for a value that names no colour to paint (clNone, clDefault).
QColor ToQColor(ColorValue value, const QColor& fallback);

}  // namespace vantrix

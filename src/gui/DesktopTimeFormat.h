#pragma once

#include <QLocale>

#include "core/TimeFormat.h"

namespace vantrix {

// The locale's long time format and AM/PM texts, as the packet log writes times. The log's
// lines are 8-bit text, so a format or an AM/PM text beyond ASCII gives way to the default.
TimeFormat DesktopTimeFormat(const QLocale& locale = QLocale::system());

}  // namespace vantrix

#pragma once

#include <QLocale>
#include <QString>

#include "core/packetlog/TimeFormat.h"

namespace vantrix {

// The locale's long time format and AM/PM texts, as the packet log writes times. The log's
// lines are 8-bit text, so a format or an AM/PM text beyond ASCII gives way to the default.
TimeFormat DesktopTimeFormat(const QLocale& locale = QLocale::system());

// The same from a pattern and AM/PM texts as a locale gives them; no-break spaces count as
// spaces.
TimeFormat TimeFormatFrom(const QString& pattern, const QString& amText, const QString& pmText);

}  // namespace vantrix

#include "DesktopTimeFormat.h"

#include <QString>

namespace vantrix {

namespace {

bool IsAscii(const QString& text) {
  for (const QChar c : text)
    if (c.unicode() > 0x7F || c.unicode() < 0x20) return false;
  return true;
}

}  // namespace

TimeFormat DesktopTimeFormat(const QLocale& locale) {
  TimeFormat format;
  const QString pattern = locale.timeFormat(QLocale::LongFormat);
  if (!pattern.isEmpty() && IsAscii(pattern)) format.pattern = pattern.toStdString();
  const QString am = locale.amText();
  const QString pm = locale.pmText();
  if (!am.isEmpty() && !pm.isEmpty() && IsAscii(am) && IsAscii(pm)) {
    format.amText = am.toStdString();
    format.pmText = pm.toStdString();
  }
  return format;
}

}  // namespace vantrix

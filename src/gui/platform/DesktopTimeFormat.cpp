#include "gui/platform/DesktopTimeFormat.h"

#include <QString>

namespace vantrix {

namespace {

bool IsAscii(const QString& text) {
  for (const QChar c : text)
    if (c.unicode() > 0x7F || c.unicode() < 0x20) return false;
  return true;
}

// Newer locale data puts a no-break space (often the narrow one) before AM/PM; in an 8-bit
// line it is an ordinary space.
QString PlainSpaces(QString text) {
  text.replace(QChar(0x202F), u' ');
  text.replace(QChar(0x00A0), u' ');
  return text;
}

}  // namespace

TimeFormat TimeFormatFrom(const QString& pattern, const QString& amText, const QString& pmText) {
  TimeFormat format;
  const QString plainPattern = PlainSpaces(pattern);
  if (!plainPattern.isEmpty() && IsAscii(plainPattern)) format.pattern = plainPattern.toStdString();
  const QString am = PlainSpaces(amText);
  const QString pm = PlainSpaces(pmText);
  if (!am.isEmpty() && !pm.isEmpty() && IsAscii(am) && IsAscii(pm)) {
    format.amText = am.toStdString();
    format.pmText = pm.toStdString();
  }
  return format;
}

TimeFormat DesktopTimeFormat(const QLocale& locale) {
  return TimeFormatFrom(locale.timeFormat(QLocale::LongFormat), locale.amText(), locale.pmText());
}

}  // namespace vantrix

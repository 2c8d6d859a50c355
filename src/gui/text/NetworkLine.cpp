#include "gui/text/NetworkLine.h"

#include "gui/text/DisplayText.h"

namespace vantrix {

namespace {

bool BreaksTheLine(QChar c) {
  if (c == u'\t') return false;
  return c.category() == QChar::Other_Control || StartsTextBlock(c);
}

}  // namespace

bool StartsTextBlock(QChar c) {
  const QChar::Category category = c.category();
  return category == QChar::Separator_Line || category == QChar::Separator_Paragraph ||
         c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

QString NetworkLine(std::string_view bytes) {
  QString text = ToDisplay(bytes);
  for (QChar& c : text) {
    if (BreaksTheLine(c)) c = QChar::ReplacementCharacter;
  }
  return text;
}

}  // namespace vantrix

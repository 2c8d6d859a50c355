#include "NetworkLine.h"

#include "DisplayText.h"

namespace vantrix {

namespace {

bool BreaksTheLine(QChar c) {
  if (c == u'\t') return false;
  const QChar::Category category = c.category();
  return category == QChar::Other_Control || category == QChar::Separator_Line ||
         category == QChar::Separator_Paragraph;
}

}  // namespace

QString NetworkLine(std::string_view bytes) {
  QString text = ToDisplay(bytes);
  for (QChar& c : text) {
    if (BreaksTheLine(c)) c = QChar::ReplacementCharacter;
  }
  return text;
}

}  // namespace vantrix

#include "gui/text/DisplayText.h"

#include <QStringDecoder>

namespace vantrix {

QString ToDisplay(std::string_view bytes) {
  const auto size = static_cast<qsizetype>(bytes.size());
  if (IsValidUtf8(bytes)) {
    // A leading byte-order mark is part of the cell and must be shown (and kept) too.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes.data(), size));
  }
  return QString::fromLatin1(bytes.data(), size);
}

std::string FromDisplay(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

std::string EditedBytes(const QString& edited, std::string_view original) {
  if (edited == ToDisplay(original)) return std::string(original);
  return FromDisplay(edited);
}

}  // namespace vantrix

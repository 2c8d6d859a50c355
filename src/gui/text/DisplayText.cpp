#include "gui/text/DisplayText.h"

#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

namespace vantrix {

namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Length of the sequence that starts with this lead byte and the smallest code point it
// may encode, or 0 when the byte cannot start a sequence.
struct Lead {
  std::size_t length;
  std::uint32_t minimum;
  std::uint32_t bits;
};

Lead ReadLead(unsigned char byte) {
  if (byte < 0x80) return {1, 0, byte};
  if ((byte & 0xE0) == 0xC0) return {2, 0x80, byte & 0x1Fu};
  if ((byte & 0xF0) == 0xE0) return {3, 0x800, byte & 0x0Fu};
  if ((byte & 0xF8) == 0xF0) return {4, 0x10000, byte & 0x07u};
  return {0, 0, 0};
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const Lead lead = ReadLead(static_cast<unsigned char>(bytes[i]));
    if (lead.length == 0 || bytes.size() - i < lead.length) return false;
    std::uint32_t codePoint = lead.bits;
    for (std::size_t k = 1; k < lead.length; ++k) {
      const auto byte = static_cast<unsigned char>(bytes[i + k]);
      if (!IsContinuation(byte)) return false;
      codePoint = (codePoint << 6) | (byte & 0x3Fu);
    }
    if (codePoint < lead.minimum || codePoint > 0x10FFFF) return false;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return false;
    i += lead.length;
  }
  return true;
}

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

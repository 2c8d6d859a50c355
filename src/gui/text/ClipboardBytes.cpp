#include "gui/text/ClipboardBytes.h"

#include <QByteArray>
#include <QClipboard>
#include <QMimeData>

#include "gui/text/DisplayText.h"

namespace vantrix {

QString ClipboardText(std::string_view bytes) {
  // The display rule: UTF-8 when valid, else one character per byte.
  return ToDisplay(bytes);
}

std::unique_ptr<QMimeData> ClipboardMimeData(std::string_view bytes) {
  auto data = std::make_unique<QMimeData>();
  if (!IsValidUtf8(bytes)) {
    data->setData(QString::fromLatin1(kLatin1TextMime),
                  QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  }
  data->setText(ClipboardText(bytes));
  return data;
}

std::string ClipboardBytes(const QMimeData& data) {
  const QString latin1 = QString::fromLatin1(kLatin1TextMime);
  if (data.hasFormat(latin1)) {
    const QByteArray bytes = data.data(latin1);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }
  return FromDisplay(data.text());
}

bool WriteClipboardBytes(QClipboard* clipboard, std::string_view bytes) {
  if (!clipboard) return false;
  clipboard->setMimeData(ClipboardMimeData(bytes).release());
  const QMimeData* now = clipboard->mimeData();
  return now && now->hasText() && now->text() == ClipboardText(bytes);
}

}  // namespace vantrix

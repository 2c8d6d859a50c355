#include "gui/widgets/ColorBox.h"

#include <QPainter>
#include <QPixmap>

#include "gui/text/ColorDisplay.h"

namespace vantrix {

namespace {

const QSize kSwatchSize(16, 12);

QIcon Swatch(ColorValue value) {
  QPixmap pixmap(kSwatchSize);
  pixmap.fill(ToQColor(value, Qt::transparent));
  QPainter painter(&pixmap);
  painter.setPen(Qt::gray);
  painter.drawRect(0, 0, kSwatchSize.width() - 1, kSwatchSize.height() - 1);
  return QIcon(pixmap);
}

}  // namespace

ColorBox::ColorBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setIconSize(kSwatchSize);
  setMaxVisibleItems(16);
  AddEntries();
  SetColor(clBlack);
  connect(this, &QComboBox::currentIndexChanged, this, &ColorBox::EntryChosen);
}

void ColorBox::AddEntries() {
  for (const NamedColor& color : PickerColors()) {
    const auto name =
        QString::fromLatin1(color.displayName.data(), static_cast<qsizetype>(color.displayName.size()));
    addItem(Swatch(color.value), name, QVariant::fromValue(static_cast<uint>(color.value)));
  }
}

void ColorBox::SetColor(ColorValue value) {
  m_value = value;
  const std::optional<std::size_t> index = PickerIndexOf(value);
  setCurrentIndex(index ? static_cast<int>(*index) : -1);
}

ColorValue ColorBox::ValueAt(int index) const {
  return static_cast<ColorValue>(itemData(index).toUInt());
}

void ColorBox::EntryChosen(int index) {
  // No selection means a value the picker does not offer: it stays as it was set.
  if (index >= 0) m_value = ValueAt(index);
}

}  // namespace vantrix

#pragma once

#include <QComboBox>

#include "core/settings/Colors.h"

namespace vantrix {

// A named-colour picker: the 50 picker colours in their order, each with a swatch and its
// English name, and no entry for a colour of one's own. It holds a colour value; a value
// the picker does not offer is kept as it was set and shown with no entry selected.
class ColorBox final : public QComboBox {
  Q_OBJECT

 public:
  explicit ColorBox(QWidget* parent = nullptr);

  void SetColor(ColorValue value);
  ColorValue Color() const { return m_value; }

  // The value offered at an entry.
  ColorValue ValueAt(int index) const;

 private:
  void AddEntries();
  void EntryChosen(int index);

  ColorValue m_value = clBlack;
};

}  // namespace vantrix

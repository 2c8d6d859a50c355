#include "gui/widgets/StatusPanels.h"

#include <QLabel>

#include "gui/text/WindowLook.h"

namespace vantrix {

namespace {

constexpr int kStatusBarHeight = 19;
constexpr std::array<int, StatusPanels::kPanelCount> kPanelWidths{55, 75, 50};

}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("StatusBar1"));
  setSizeGripEnabled(false);
  setFixedHeight(kStatusBarHeight);
  setFont(BoldFont({QStringLiteral("Tahoma"), QStringLiteral("Sans Serif")}, 8));
  QPalette bevel = palette();
  bevel.setColor(QPalette::Light, QColor(0x60, 0x60, 0x60));
  bevel.setColor(QPalette::Dark, QColor(0x30, 0x30, 0x30));
  bevel.setColor(QPalette::Mid, QColor(0x40, 0x40, 0x40));
  setPalette(bevel);
  for (int panel = 0; panel < kPanelCount; ++panel) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(2, 0, 2, 0);
    const int width = kPanelWidths[static_cast<size_t>(panel)];
    if (panel < kPanelCount - 1) {
      label->setFixedWidth(width);
      addWidget(label);
    } else {
      label->setMinimumWidth(width);
      addWidget(label, 1);  // the message panel takes the rest
    }
    m_panels[static_cast<size_t>(panel)] = label;
  }
}

QLabel* StatusPanels::Panel(int panel) const {
  if (panel < 0 || panel >= kPanelCount) return nullptr;
  return m_panels[static_cast<size_t>(panel)];
}

}  // namespace vantrix

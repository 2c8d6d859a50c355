#pragma once

#include <array>

#include <QStatusBar>

class QLabel;

namespace vantrix {

// The main window's status bar (StatusBar1): three sunken panels of plain text, the last of
// which, the message panel, takes the width the first two leave.
class StatusPanels final : public QStatusBar {
  Q_OBJECT

 public:
  static constexpr int kPanelCount = 3;

  explicit StatusPanels(QWidget* parent);

  // Panel 0..2; null for any other number.
  QLabel* Panel(int panel) const;

 private:
  std::array<QLabel*, kPanelCount> m_panels{};
};

}  // namespace vantrix

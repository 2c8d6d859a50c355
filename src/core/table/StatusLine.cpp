#include "core/table/StatusLine.h"

#include <stdexcept>

#include "core/util/Texts.h"

namespace vantrix {

StatusLine::StatusLine() : m_panels{"0/0", "recv 0", kLoadedText} {}

int StatusLine::MapPanel(int panel) {
  if (panel == 3) return kMessagePanel;
  if (panel < 0 || panel > 3) throw std::out_of_range("status panel out of range");
  return panel;
}

void StatusLine::SetStatus(int panel, std::string text) {
  const int mapped = MapPanel(panel);
  m_panels[static_cast<size_t>(mapped)] = std::move(text);
  if (m_observer) m_observer(mapped);
}

const std::string& StatusLine::Panel(int panel) const {
  return m_panels[static_cast<size_t>(MapPanel(panel))];
}

}  // namespace vantrix

#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>

namespace vantrix {

// The three panels under the list: selection counter, "recv " count, messages.
class StatusLine {
 public:
  static constexpr int kCounterPanel = 0;
  static constexpr int kReceivedPanel = 1;
  static constexpr int kMessagePanel = 2;

  StatusLine();

  // Panel 3 is the message panel too: commands and errors write there with 3.
  void SetStatus(int panel, std::string text);
  // Writes the message panel.
  void SetMessage(std::string text) { SetStatus(kMessagePanel, std::move(text)); }
  const std::string& Panel(int panel) const;
  const std::string& Message() const { return Panel(kMessagePanel); }

  // Called with the panel (0..2) after each write.
  void SetObserver(std::function<void(int)> observer) { m_observer = std::move(observer); }

 private:
  static int MapPanel(int panel);

  std::array<std::string, 3> m_panels;
  std::function<void(int)> m_observer;
};

}  // namespace vantrix

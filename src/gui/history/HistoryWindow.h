#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QWidget>

#include "history/HistorySample.h"

class QLabel;
class QPushButton;

namespace vantrix {

class HistoryPlot;

// "Server history...": the kept history of one server in two plots, players and ping, over
// the last 24 hours, 7 days or 30 days. The window's accessible description (and the line
// under the plots) sums up the span shown, or says "No history yet".
class HistoryWindow final : public QWidget {
  Q_OBJECT

 public:
  using PointsFn = std::function<std::vector<HistoryPoint>(const std::string& address, HistorySpan span)>;
  using NowFn = std::function<std::int64_t()>;

  HistoryWindow(PointsFn points, NowFn now, QWidget* parent = nullptr);

  // Shows the server's last 24 hours under the title "History: NAME (ADDRESS)".
  void ShowServer(const QString& name, const std::string& address);
  void ShowSpan(HistorySpan span);

  HistorySpan Span() const { return m_span; }
  QPushButton* SpanButton(HistorySpan span) const { return m_buttons[static_cast<std::size_t>(span)]; }
  HistoryPlot& PlayersPlot() const { return *m_players; }
  HistoryPlot& PingPlot() const { return *m_ping; }
  QLabel* SummaryLabel() const { return m_summary; }

 private:
  PointsFn m_points;
  NowFn m_now;
  std::string m_address;
  HistorySpan m_span = HistorySpan::kDay;
  std::array<QPushButton*, 3> m_buttons{};
  HistoryPlot* m_players = nullptr;
  HistoryPlot* m_ping = nullptr;
  QLabel* m_summary = nullptr;
};

}  // namespace vantrix

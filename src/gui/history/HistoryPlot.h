#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <QWidget>

#include "history/HistorySample.h"

namespace vantrix {

// One plot of the history window, drawn with QPainter: the players (their mean, with the
// server's maximum as a second line) or the ping, over the span from `from` to `to`. A
// check that was not answered, or a stretch without checks, breaks the line.
class HistoryPlot final : public QWidget {
  Q_OBJECT

 public:
  enum class Kind { kPlayers, kPing };

  HistoryPlot(Kind kind, QWidget* parent = nullptr);

  void SetPoints(std::vector<HistoryPoint> points, std::int64_t from, std::int64_t to);

  // The unbroken stretches of answered points, as [first, last] indexes into the points.
  const std::vector<std::pair<std::size_t, std::size_t>>& Runs() const { return m_runs; }
  // The top of the value axis.
  int Top() const { return m_top; }

  QSize sizeHint() const override { return {560, 160}; }
  QSize minimumSizeHint() const override { return {200, 80}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double Value(const HistoryPoint& point) const;
  void DrawLine(QPainter& painter, const QRectF& area, const QColor& color, bool maximum) const;

  Kind m_kind;
  std::vector<HistoryPoint> m_points;
  std::vector<std::pair<std::size_t, std::size_t>> m_runs;
  std::int64_t m_from = 0;
  std::int64_t m_to = 1;
  int m_top = 1;
};

}  // namespace vantrix

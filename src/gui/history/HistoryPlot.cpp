#include "gui/history/HistoryPlot.h"

#include <algorithm>

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>

namespace vantrix {

namespace {

const QColor kBackground(Qt::black);
const QColor kAxis(0, 128, 0);
const QColor kLine(0, 255, 0);
const QColor kMaximum(255, 255, 0);
constexpr int kMargin = 6;
constexpr int kLabelWidth = 44;

// Points further apart than this have a stretch without checks between them: a sample
// series is spaced by the refresh, an aggregate one by its ten minutes.
std::int64_t GapSeconds(const std::vector<HistoryPoint>& points) {
  if (points.size() < 2) return 0;
  std::vector<std::int64_t> steps;
  steps.reserve(points.size() - 1);
  for (std::size_t i = 1; i < points.size(); ++i) steps.push_back(points[i].time - points[i - 1].time);
  std::nth_element(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2), steps.end());
  return std::max<std::int64_t>(3 * steps[steps.size() / 2], 90);
}

}  // namespace

HistoryPlot::HistoryPlot(Kind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {
  setAccessibleName(kind == Kind::kPlayers ? QStringLiteral("Players") : QStringLiteral("Ping"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

double HistoryPlot::Value(const HistoryPoint& point) const {
  return m_kind == Kind::kPlayers ? point.playersMean : point.pingMean;
}

void HistoryPlot::SetPoints(std::vector<HistoryPoint> points, std::int64_t from, std::int64_t to) {
  m_points = std::move(points);
  m_from = from;
  m_to = std::max(to, from + 1);
  m_runs.clear();
  const std::int64_t gap = GapSeconds(m_points);
  int top = 1;
  for (std::size_t i = 0; i < m_points.size(); ++i) {
    const HistoryPoint& point = m_points[i];
    if (point.answered == 0) continue;
    top = std::max(top,
                   m_kind == Kind::kPlayers ? std::max(point.playersMax, point.maxPlayers) : point.pingMax);
    const bool joins =
        !m_runs.empty() && m_runs.back().second + 1 == i && point.time - m_points[i - 1].time <= gap;
    if (joins)
      m_runs.back().second = i;
    else
      m_runs.emplace_back(i, i);
  }
  m_top = top;
  update();
}

void HistoryPlot::DrawLine(QPainter& painter, const QRectF& area, const QColor& color, bool maximum) const {
  const double span = static_cast<double>(m_to - m_from);
  const auto at = [&](const HistoryPoint& point) {
    const double value = maximum ? point.maxPlayers : Value(point);
    return QPointF(area.left() + area.width() * static_cast<double>(point.time - m_from) / span,
                   area.bottom() - area.height() * value / m_top);
  };
  painter.setPen(QPen(color, maximum ? 1 : 2));
  for (const auto& [first, last] : m_runs) {
    if (first == last) {
      painter.drawPoint(at(m_points[first]));
      continue;
    }
    QPainterPath path(at(m_points[first]));
    for (std::size_t i = first + 1; i <= last; ++i) path.lineTo(at(m_points[i]));
    painter.drawPath(path);
  }
}

void HistoryPlot::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackground);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area(kLabelWidth, kMargin + fontMetrics().height(), width() - kLabelWidth - kMargin,
                    height() - 2 * kMargin - 2 * fontMetrics().height());
  if (area.width() <= 0 || area.height() <= 0) return;
  painter.setPen(kAxis);
  painter.drawRect(area);
  painter.setPen(kLine);
  const QString title =
      m_kind == Kind::kPlayers ? QStringLiteral("Players (maximum in yellow)") : QStringLiteral("Ping (ms)");
  painter.drawText(QPointF(area.left(), kMargin + fontMetrics().ascent()), title);
  painter.drawText(
      QRectF(0, area.top() - fontMetrics().height() / 2.0, kLabelWidth - 4, fontMetrics().height()),
      Qt::AlignRight, QString::number(m_top));
  painter.drawText(
      QRectF(0, area.bottom() - fontMetrics().height() / 2.0, kLabelWidth - 4, fontMetrics().height()),
      Qt::AlignRight, QStringLiteral("0"));
  const QString format = m_to - m_from > 2 * 86'400 ? QStringLiteral("dd.MM.") : QStringLiteral("HH:mm");
  const double textTop = area.bottom() + 2;
  painter.drawText(QRectF(area.left(), textTop, area.width() / 2, fontMetrics().height()), Qt::AlignLeft,
                   QDateTime::fromSecsSinceEpoch(m_from).toString(format));
  painter.drawText(QRectF(area.center().x(), textTop, area.width() / 2, fontMetrics().height()),
                   Qt::AlignRight, QDateTime::fromSecsSinceEpoch(m_to).toString(format));
  if (m_kind == Kind::kPlayers) DrawLine(painter, area, kMaximum, true);
  DrawLine(painter, area, kLine, false);
}

}  // namespace vantrix

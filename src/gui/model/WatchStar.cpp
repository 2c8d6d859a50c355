#include "gui/model/WatchStar.h"

#include <cmath>
#include <numbers>

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace vantrix {

QIcon WatchStarIcon() {
  constexpr int kSize = 12;
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPolygonF star;
  const double centre = kSize / 2.0;
  for (int point = 0; point < 10; ++point) {
    const double radius = point % 2 == 0 ? centre - 0.5 : centre * 0.42;
    const double angle = -std::numbers::pi / 2 + point * std::numbers::pi / 5;
    star << QPointF(centre + radius * std::cos(angle), centre + radius * std::sin(angle));
  }
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColor(0xB0, 0x80, 0x00));
  painter.setBrush(QColor(0xFF, 0xD7, 0x00));
  painter.drawPolygon(star);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace vantrix

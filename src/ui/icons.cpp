#include "ui/icons.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>

#include <cmath>
#include <numbers>

namespace rdsim {

namespace {
constexpr int IconSize = 32;
}

QIcon WindowIcon() {
  QImage image(IconSize, IconSize, QImage::Format_ARGB32);
  const QColor activator(255, 0, 0);
  const QColor inhibitor(0, 0, 128);
  const double centre = (IconSize - 1) / 2.0;
  for (int y = 0; y < IconSize; ++y) {
    for (int x = 0; x < IconSize; ++x) {
      const double dx = x - centre, dy = y - centre;
      const double r = std::hypot(dx, dy);
      const double theta = std::atan2(dy, dx);
      // One-armed spiral; the tanh sharpens the wave front like a real run.
      const double s = 0.5 + 0.5 * std::tanh(3.0 * std::sin(0.75 * r - theta));
      image.setPixelColor(x, y,
                          QColor::fromRgbF(activator.redF() * s + inhibitor.redF() * (1 - s),
                                           activator.greenF() * s + inhibitor.greenF() * (1 - s),
                                           activator.blueF() * s + inhibitor.blueF() * (1 - s)));
    }
  }
  QPainter painter(&image);
  painter.setPen(QColor(0, 0, 0));
  painter.drawRect(0, 0, IconSize - 1, IconSize - 1);
  painter.end();
  return QIcon(QPixmap::fromImage(image));
}

QPixmap SpiralPicture() {
  QPixmap pixmap(IconSize, IconSize);
  pixmap.fill(QColor(212, 212, 212));
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(32, 32, 32), 2.0, Qt::SolidLine, Qt::RoundCap));
  // Archimedean spiral kept clear of the edges, which the button's bevel
  // clips away.
  const QPointF centre(IconSize / 2.0, IconSize / 2.0);
  constexpr double Turns = 2.25;
  constexpr double MaxRadius = 11.5;
  constexpr int Segments = 160;
  QPainterPath path(centre);
  for (int i = 1; i <= Segments; ++i) {
    const double t = static_cast<double>(i) / Segments;
    const double angle = t * Turns * 2 * std::numbers::pi;
    const double radius = t * MaxRadius;
    path.lineTo(centre + QPointF(radius * std::cos(angle), -radius * std::sin(angle)));
  }
  painter.drawPath(path);
  painter.end();
  return pixmap;
}

}  // namespace rdsim

#include "ui/icons.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rdsim {

namespace {
constexpr int IconSize = 32;
}

QImage WindowIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  const QColor activator(255, 0, 0);
  const QColor inhibitor(0, 0, 128);
  // Drawn in the units of the 32-pixel icon, so that every size shows the
  // same spiral.
  const double unit = static_cast<double>(IconSize) / size;
  const double centre = (size - 1) / 2.0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = (x - centre) * unit, dy = (y - centre) * unit;
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
  const int frame = std::max(1, size / IconSize);
  painter.fillRect(0, 0, size, frame, Qt::black);
  painter.fillRect(0, size - frame, size, frame, Qt::black);
  painter.fillRect(0, 0, frame, size, Qt::black);
  painter.fillRect(size - frame, 0, frame, size, Qt::black);
  painter.end();
  return image;
}

QIcon WindowIcon() {
  QIcon icon(QPixmap::fromImage(WindowIconImage(IconSize)));
  icon.addPixmap(QPixmap::fromImage(WindowIconImage(2 * IconSize)));
  return icon;
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

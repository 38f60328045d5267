#include "ui/dispersion_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

namespace rdsim {

namespace {

QColor DotColour(DotKind kind) {
  switch (kind) {
    case DotKind::Grows: return QColor(200, 0, 0);
    case DotKind::GrowsOscillating: return QColor(225, 120, 0);
    case DotKind::Decays: return QColor(90, 100, 150);
  }
  return Qt::black;
}

QColor BandColour(GrowthKind kind) {
  switch (kind) {
    case GrowthKind::StationaryPattern: return QColor(255, 120, 120, 70);
    case GrowthKind::OscillatingPattern: return QColor(255, 170, 60, 80);
    case GrowthKind::UniformOscillation:
    case GrowthKind::UniformRunaway: return QColor(120, 160, 255, 70);
    case GrowthKind::NumericalInstability: return QColor(120, 120, 120, 80);
  }
  return Qt::transparent;
}

struct LegendItem {
  enum Look { Dot, Band, Ring } look;
  QColor colour;
  QString text;
};

// The dots, a swatch for each band there is, the ring.
std::vector<LegendItem> LegendItems(const std::optional<DispersionCurve>& curve) {
  std::vector<LegendItem> items = {
      {LegendItem::Dot, DotColour(DotKind::Grows), QStringLiteral("grows")},
      {LegendItem::Dot, DotColour(DotKind::GrowsOscillating), QStringLiteral("grows, oscillating")},
      {LegendItem::Dot, DotColour(DotKind::Decays), QStringLiteral("decays")},
  };
  if (curve) {
    for (const GrowthBand& band : curve->bands) {
      items.push_back({LegendItem::Band, BandColour(band.kind), QString::fromUtf8(GrowthKindName(band.kind))});
    }
    if (curve->hasFastest) items.push_back({LegendItem::Ring, Qt::black, QStringLiteral("fastest")});
  }
  return items;
}

// The legend flows over as many rows as the width needs.
int LegendRows(const std::optional<DispersionCurve>& curve, const QFontMetricsF& metrics, double width) {
  const double mark = metrics.height();
  int rows = 1;
  double x = 0;
  for (const LegendItem& item : LegendItems(curve)) {
    const double w = mark + metrics.horizontalAdvance(item.text) + mark;
    if (x > 0 && x + w > width) {
      ++rows;
      x = 0;
    }
    x += w;
  }
  return rows;
}

double DotSize(const QFontMetricsF& metrics) { return std::max(3.0, metrics.height() / 4.0); }

}  // namespace

DispersionPlot::DispersionPlot(QWidget* parent) : QWidget(parent) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DispersionPlot::SetCurve(const DispersionCurve& curve) {
  curve_ = curve;
  message_.clear();
  update();
}

void DispersionPlot::SetMessage(const QString& message) {
  curve_.reset();
  message_ = message;
  update();
}

QSize DispersionPlot::sizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.averageCharWidth() * 90, metrics.height() * 24};
}

QSize DispersionPlot::minimumSizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.averageCharWidth() * 40, metrics.height() * 12};
}

DispersionPlot::Frame DispersionPlot::Layout() const {
  const QFontMetricsF metrics(font());
  const double line = metrics.height();
  const double pad = line / 2;
  const double tick = line / 3;
  Frame frame;
  frame.legendTop = pad;
  const double legendHeight = LegendRows(curve_, metrics, width() - 2 * pad) * line;
  double widest = 0;
  if (curve_) {
    for (const AxisTick& t : curve_->growthTicks) {
      widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(t.label)));
    }
  }
  const double left = pad + line + pad / 2 + widest + tick + 1;
  const double top = frame.legendTop + legendHeight + pad + line / 2;
  const double bottom = height() - (pad + 2 * line + tick);
  const QString uniform = curve_ ? QString::fromStdString(curve_->uniformLabel) : QString();
  const double column = std::max(metrics.horizontalAdvance(uniform) + pad, 2.5 * line);
  const double right = width() - pad;
  frame.uniform = QRectF(QPointF(right - column, top), QPointF(right, bottom));
  frame.plot = QRectF(QPointF(left, top), QPointF(frame.uniform.left() - pad, bottom));
  return frame;
}

double DispersionPlot::X(const Frame& frame, double wavelength) const {
  if (std::isinf(wavelength)) return frame.uniform.center().x();
  const double lo = std::log(curve_->shortestWavelength), hi = std::log(curve_->longestWavelength);
  const double t = (std::log(wavelength) - lo) / (hi - lo);
  return frame.plot.left() + std::clamp(t, 0.0, 1.0) * frame.plot.width();
}

// A lane of one line stays free above the highest dot for the label of the fastest.
double DispersionPlot::Y(const Frame& frame, double growth) const {
  const double lane = curve_->hasFastest ? QFontMetricsF(font()).height() * 2.2 : 0.0;
  const double t = (growth - curve_->growthFloor) / (curve_->growthCeiling - curve_->growthFloor);
  return frame.plot.bottom() - std::clamp(t, 0.0, 1.0) * std::max(0.0, frame.plot.height() - lane);
}

void DispersionPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QFontMetricsF metrics(font());
  const Look look{metrics, metrics.height(), metrics.height() / 2, DotSize(metrics), palette().color(QPalette::Text)};
  if (!curve_) {
    const int line = int(look.line);
    painter.setPen(look.ink);
    painter.drawText(rect().adjusted(line, line, -line, -line), Qt::AlignCenter | Qt::TextWordWrap, message_);
    return;
  }
  // One painter throughout: a part leaves its pen and brush to the next.
  const Frame frame = Layout();
  PaintBands(painter, frame);
  PaintAxes(painter, frame, look);
  PaintModes(painter, frame, look);
  PaintFastest(painter, frame, look);
  PaintLegend(painter, frame, look);
}

// Growing bands, the slower kinds first so that the fastest lies on top.
void DispersionPlot::PaintBands(QPainter& painter, const Frame& frame) const {
  const DispersionCurve& c = *curve_;
  const QRectF& plot = frame.plot;
  const QRectF& uniform = frame.uniform;
  for (auto band = c.bands.rbegin(); band != c.bands.rend(); ++band) {
    const QColor colour = BandColour(band->kind);
    if (std::isfinite(band->shortest)) {
      double from = X(frame, band->shortest), to = X(frame, std::min(band->longest, c.longestWavelength));
      if (to - from < 2) from -= 1, to += 1;  // a band of one mode still shows
      painter.fillRect(QRectF(QPointF(from, plot.top()), QPointF(to, plot.bottom())), colour);
    }
    if (std::isinf(band->longest)) painter.fillRect(uniform, colour);
  }
}

// Grid, ticks and their labels, the frames and the axis titles.
void DispersionPlot::PaintAxes(QPainter& painter, const Frame& frame, const Look& look) const {
  const DispersionCurve& c = *curve_;
  const QRectF& plot = frame.plot;
  const QRectF& uniform = frame.uniform;
  const QFontMetricsF& metrics = look.metrics;
  const double line = look.line, pad = look.pad;
  const QColor& ink = look.ink;
  const QColor gridColour = palette().color(QPalette::Mid);
  const double tick = line / 3;
  painter.setPen(QPen(gridColour, 0));
  for (const AxisTick& t : c.wavelengthTicks) {
    const double x = X(frame, t.value);
    painter.setPen(QPen(gridColour, 0, Qt::DotLine));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    painter.setPen(ink);
    painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tick));
    const QString label = QString::fromStdString(t.label);
    const double w = metrics.horizontalAdvance(label);
    painter.drawText(QRectF(x - w / 2 - 1, plot.bottom() + tick, w + 2, line), Qt::AlignCenter, label);
  }
  for (const AxisTick& t : c.growthTicks) {
    const double y = Y(frame, t.value);
    painter.setPen(t.value == 0 ? QPen(ink, 1, Qt::DashLine) : QPen(gridColour, 0, Qt::DotLine));
    painter.drawLine(QPointF(plot.left(), y), QPointF(uniform.right(), y));
    painter.setPen(ink);
    painter.drawLine(QPointF(plot.left() - tick, y), QPointF(plot.left(), y));
    painter.drawText(QRectF(0, y - line / 2, plot.left() - tick - 2, line), Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(t.label));
  }
  painter.setPen(QPen(ink, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);
  painter.drawRect(uniform);
  const QString uniformLabel = QString::fromStdString(c.uniformLabel);
  const double uw = metrics.horizontalAdvance(uniformLabel);
  painter.drawText(QRectF(uniform.center().x() - uw / 2 - 1, plot.bottom() + tick, uw + 2, line), Qt::AlignCenter,
                   uniformLabel);
  painter.drawText(QRectF(plot.left(), plot.bottom() + tick + line, plot.width(), line), Qt::AlignCenter,
                   QString::fromStdString(c.wavelengthTitle));
  painter.save();
  painter.translate(pad, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), line), Qt::AlignCenter,
                   QString::fromStdString(c.growthTitle));
  painter.restore();
}

// The modes along one side joined by a line, then every mode a dot; dots
// that land on the same pixel are drawn once.
void DispersionPlot::PaintModes(QPainter& painter, const Frame& frame, const Look& look) const {
  const DispersionCurve& c = *curve_;
  const QRectF& plot = frame.plot;
  painter.save();
  painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
  QPolygonF along;
  for (const std::size_t i : c.curve) along << QPointF(X(frame, c.dots[i].wavelength), Y(frame, c.dots[i].growth));
  painter.setPen(QPen(QColor(60, 60, 60), 1));
  painter.drawPolyline(along);
  painter.restore();

  const double dot = look.dot;
  for (const DotKind kind : {DotKind::Decays, DotKind::GrowsOscillating, DotKind::Grows}) {
    QPolygonF points;
    std::unordered_set<long long> seen;
    for (const DispersionDot& d : c.dots) {
      if (d.kind != kind) continue;
      const QPointF p(X(frame, d.wavelength), Y(frame, d.growth));
      const long long key = (static_cast<long long>(std::lround(p.x())) << 32) + std::lround(p.y());
      if (seen.insert(key).second) points << p;
    }
    painter.setPen(QPen(DotColour(kind), dot, Qt::SolidLine, Qt::RoundCap));
    painter.drawPoints(points);
  }
}

// The fastest mode: ringed, with its wavelength and growth beside it.
void DispersionPlot::PaintFastest(QPainter& painter, const Frame& frame, const Look& look) const {
  const DispersionCurve& c = *curve_;
  const QRectF& plot = frame.plot;
  const QRectF& uniform = frame.uniform;
  const QFontMetricsF& metrics = look.metrics;
  const double line = look.line, dot = look.dot;
  const QColor& ink = look.ink;
  if (c.hasFastest) {
    const QPointF p(X(frame, c.dots[c.fastest].wavelength), Y(frame, c.dots[c.fastest].growth));
    const double ring = 1.6 * dot + 2;
    painter.setPen(QPen(ink, 1.5));
    painter.drawEllipse(p, ring, ring);
    const QString label = QString::fromStdString(c.fastestLabel);
    const double w = metrics.horizontalAdvance(label) + 2;
    const QRectF area = plot.united(uniform);
    // Centred in the free lane above the ring.
    const double x = std::clamp(p.x() - w / 2, area.left() + 2, std::max(area.left() + 2, area.right() - 2 - w));
    double y = p.y() - ring - line - 1;
    if (y < area.top() + 1) y = p.y() + ring + 1;
    const QRectF box(x, y, w, line);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, label);
  }
}

// The legend across the top.
void DispersionPlot::PaintLegend(QPainter& painter, const Frame& frame, const Look& look) const {
  const QFontMetricsF& metrics = look.metrics;
  const double line = look.line, pad = look.pad, dot = look.dot;
  const QColor& ink = look.ink;
  double x = pad, y = frame.legendTop;
  for (const LegendItem& item : LegendItems(curve_)) {
    const QString text = item.text;
    const double w = line + metrics.horizontalAdvance(text) + line;
    if (x > pad && x + w > width() - pad) {
      x = pad;
      y += line;
    }
    const QPointF centre(x + line / 2, y + line / 2);
    switch (item.look) {
      case LegendItem::Dot:
        painter.setPen(QPen(item.colour, dot, Qt::SolidLine, Qt::RoundCap));
        painter.drawPoint(centre);
        break;
      case LegendItem::Band: painter.fillRect(QRectF(x, y + line / 6, line * 0.8, line * 2 / 3), item.colour); break;
      case LegendItem::Ring:
        painter.setPen(QPen(item.colour, 1.5));
        painter.drawEllipse(centre, line / 3, line / 3);
        break;
    }
    painter.setPen(ink);
    painter.drawText(QRectF(x + line, y, w - line, line), Qt::AlignLeft | Qt::AlignVCenter, text);
    x += w;
  }
}

}  // namespace rdsim

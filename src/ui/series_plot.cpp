#include "ui/series_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>

namespace rdsim {

namespace {

// Round steps for ticks: 1, 2 or 5 times a power of ten, about `count` of them.
double TickStep(double span, int count) {
  if (!(span > 0)) return 1;
  const double rough = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * power >= rough) return m * power;
  }
  return 10 * power;
}

struct Line {
  SeriesColumn column;
  QColor color;
  double width;
  Qt::PenStyle style;
};

constexpr int Species = 2;
const SeriesColumn Lows[Species] = {MinU, MinV}, Highs[Species] = {MaxU, MaxV};

std::vector<Line> LinesOf(int species) {
  const QColor hue = species == 0 ? QColor(200, 40, 40) : QColor(40, 80, 200);
  const QColor faint = species == 0 ? QColor(230, 150, 150) : QColor(150, 170, 230);
  const int base = species == 0 ? 0 : 3;
  return {{static_cast<SeriesColumn>(base + 1), faint, 1, Qt::SolidLine},
          {static_cast<SeriesColumn>(base + 2), faint, 1, Qt::SolidLine},
          {static_cast<SeriesColumn>(base), hue, 2, Qt::SolidLine},
          {species == 0 ? ProbeU : ProbeV, QColor(0, 130, 60), 1, Qt::SolidLine}};
}

}  // namespace

SeriesPlot::SeriesPlot(QWidget* parent) : QWidget(parent) {
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

void SeriesPlot::SetSamples(const std::vector<SeriesSample>* samples) {
  samples_ = samples;
  update();
}

QSize SeriesPlot::sizeHint() const {
  const int line = fontMetrics().height();
  return {line * 40, line * 26};
}

QSize SeriesPlot::minimumSizeHint() const {
  const int line = fontMetrics().height();
  return {line * 16, line * 12};
}

void SeriesPlot::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int line = fontMetrics().height();
  const QRectF all = QRectF(rect()).adjusted(line * 4.5, line * 1.5, -line, -line * 2);
  if (!samples_ || samples_->empty()) {
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     QStringLiteral("No samples yet: start a run; every redraw adds one."));
    return;
  }
  const double gap = line * 2.5;
  const double height = (all.height() - gap) / 2;
  for (int species = 0; species < Species; ++species) {
    PaintPanel(painter, QRectF(all.left(), all.top() + species * (height + gap), all.width(), height), species);
  }
  // The step axis under the lower panel.
  const double first = static_cast<double>(samples_->front().step), last = static_cast<double>(samples_->back().step);
  const double span = std::max(last - first, 1.0);
  const double tick = TickStep(span, std::max(2, static_cast<int>(all.width() / (line * 6))));
  painter.setPen(palette().color(QPalette::Text));
  for (double t = std::ceil(first / tick) * tick; t <= last + tick * 1e-9; t += tick) {
    const double x = all.left() + (t - first) / span * all.width();
    painter.drawLine(QPointF(x, all.bottom()), QPointF(x, all.bottom() + line * 0.3));
    painter.drawText(QRectF(x - line * 5, all.bottom() + line * 0.3, line * 10, line), Qt::AlignHCenter,
                     QString::number(t, 'g', 10));
  }
  painter.drawText(QRectF(all.left(), all.bottom() + line, all.width(), line), Qt::AlignRight, QStringLiteral("step"));
}

void SeriesPlot::PaintPanel(QPainter& painter, const QRectF& area, int species) const {
  const std::vector<SeriesSample>& samples = *samples_;
  const QColor ink = palette().color(QPalette::Text);
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (const SeriesSample& s : samples) {
    for (const SeriesColumn c : {Lows[species], Highs[species], species == 0 ? ProbeU : ProbeV}) {
      if (!std::isfinite(s.values[c])) continue;
      low = std::min(low, s.values[c]);
      high = std::max(high, s.values[c]);
    }
  }
  if (!(low <= high)) low = high = 0;
  if (high - low < 1e-9 * std::max(1.0, std::fabs(high))) {
    low -= 0.5;
    high += 0.5;
  }
  const double pad = (high - low) * 0.05;
  low -= pad;
  high += pad;
  const auto y = [&](double v) { return area.bottom() - (v - low) / (high - low) * area.height(); };

  const int line = painter.fontMetrics().height();
  painter.setPen(ink);
  painter.drawRect(area);
  const double tick = TickStep(high - low, std::max(2, static_cast<int>(area.height() / (line * 2))));
  for (double t = std::ceil(low / tick) * tick; t <= high; t += tick) {
    const double at = y(t);
    painter.drawLine(QPointF(area.left() - line * 0.3, at), QPointF(area.left(), at));
    painter.drawText(QRectF(0, at - line / 2.0, area.left() - line * 0.4, line), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(std::fabs(t) < tick * 1e-9 ? 0.0 : t, 'g', 4));
  }

  // Each column gets the least and largest value of the samples in it.
  const double first = static_cast<double>(samples.front().step);
  const double span = std::max(static_cast<double>(samples.back().step) - first, 1.0);
  const int columns = std::max(1, static_cast<int>(area.width()));
  painter.save();
  painter.setClipRect(area);
  for (const Line& l : LinesOf(species)) {
    QPolygonF path;
    int column = -1;
    double lo = 0, hi = 0;
    const auto flush = [&] {
      if (column < 0) return;
      const double x = area.left() + column + 0.5;
      path << QPointF(x, y(lo));
      if (hi != lo) path << QPointF(x, y(hi));
    };
    for (const SeriesSample& s : samples) {
      const double v = s.values[l.column];
      if (!std::isfinite(v)) continue;
      const int c = std::min(columns - 1, static_cast<int>((static_cast<double>(s.step) - first) / span * columns));
      if (c != column) {
        flush();
        column = c;
        lo = hi = v;
      } else {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
    }
    flush();
    QPen pen(l.color, l.width, l.style);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawPolyline(path);
  }
  painter.restore();

  // The legend along the panel's top.
  const QString name = species == 0 ? QStringLiteral("u (activator)") : QStringLiteral("v (inhibitor)");
  const QString words[] = {name + QStringLiteral(": min, max"), QStringLiteral("mean"), QStringLiteral("probe")};
  const std::vector<Line> lines = LinesOf(species);
  const Line* keys[] = {&lines[0], &lines[2], &lines[3]};
  double x = area.left() + line * 0.5;
  const double top = area.top() - line * 1.2;
  for (int i = 0; i < 3; ++i) {
    QPen pen(keys[i]->color, keys[i]->width, keys[i]->style);
    painter.setPen(pen);
    painter.drawLine(QPointF(x, top + line / 2.0), QPointF(x + line * 1.5, top + line / 2.0));
    x += line * 1.8;
    painter.setPen(ink);
    const double width = painter.fontMetrics().horizontalAdvance(words[i]) + line;
    painter.drawText(QRectF(x, top, width, line), Qt::AlignLeft | Qt::AlignVCenter, words[i]);
    x += width;
  }
}

}  // namespace rdsim

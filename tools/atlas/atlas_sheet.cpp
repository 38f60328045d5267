#include "atlas/atlas_sheet.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "atlas/atlas_layout.h"
#include "core/coefficients.h"
#include "core/constants.h"
#include "core/run_error.h"
#include "files/file_access.h"
#include "pixels/field_image_pixels.h"
#include "pixels/profile_image_pixels.h"

namespace rdsim::atlas {

namespace {

constexpr int Margin = 10;
constexpr QRgb Background = 0xFFFFFFFF, Ink = 0xFF000000, PlotSeparator = 0xFFC0C0C0;

// A viewer shows the sheet at its pixel size when it reads 96 dots per inch.
constexpr int DotsPerMetreAt96Dpi = 3780;

QString CoefficientName(int k) { return QString::fromStdString(CoefficientLabel(k)); }

QFont SheetFont(bool bold) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(13);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

constexpr const char* PredictedLegend = "predicted: stationary pattern";

// A right triangle filling the corner at (right, top), its legs `side` long,
// edged in white so that it reads on a dark field as well as on a light one.
void DrawCornerMark(QPainter& painter, int right, int top, int side) {
  const QPolygon edge({QPoint(right - side - 1, top), QPoint(right, top), QPoint(right, top + side + 1)});
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromRgb(Background));
  painter.drawPolygon(edge);
  const QPolygon mark({QPoint(right - side + 1, top), QPoint(right, top), QPoint(right, top + side - 1)});
  painter.setBrush(QColor::fromRgb(PredictedMarkColour));
  painter.drawPolygon(mark);
}

}  // namespace

std::uint32_t ClassColour(PatternClass pattern) {
  switch (pattern) {
    case PatternClass::Uniform: return 0x9A9A9A;
    case PatternClass::IsolatedDots: return 0x98DF8A;  // the spots' green, paler
    case PatternClass::Spots: return 0x2CA02C;
    case PatternClass::Stripes: return 0x1F77B4;
    case PatternClass::Moving: return 0xFF8C00;
    case PatternClass::Fault: return 0xD62728;
  }
  return 0;
}

struct ContactSheet::Layout {
  RunOptions options;
  int n = 0;
  bool square = true;
  TileSize tile;
  int pitchX = 0, pitchY = 0;
  int gridLeft = 0, gridTop = 0;
  QImage image;

  QPoint TileOrigin(std::size_t point) const {
    const auto columns = options.x.texts.size(), rows = options.y.texts.size();
    const auto column = static_cast<int>(point % columns);
    const auto rowFromTop = static_cast<int>(rows - 1 - point / columns);  // y grows upwards
    return {gridLeft + column * pitchX + FrameWidth, gridTop + rowFromTop * pitchY + FrameWidth};
  }

  // Copies an image into a box of width x height pixels, each pixel of the
  // box showing the image pixel under it: enlarged by whole pixels, or
  // sampled when the box is smaller.
  void Blit(const PixelImage& picture, QPoint at, int width, int height) {
    for (int y = 0; y < height; ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(at.y() + y)) + at.x();
      const int from = static_cast<int>(static_cast<long long>(y) * picture.height / height);
      for (int x = 0; x < width; ++x) {
        line[x] = 0xFF000000u | picture.at(static_cast<int>(static_cast<long long>(x) * picture.width / width), from);
      }
    }
  }
};

// The fixed coefficients, N, K and the seed: one line as long as it fits in
// `width`, else wrapped between items; an item wider than that is cut.
QStringList FixedLines(const RunOptions& options, int n, const QFontMetrics& metrics, int width) {
  QStringList items;
  for (int k = 0; k < CoefficientCount; ++k) {
    if (k == options.x.coefficient || k == options.y.coefficient) continue;
    items << QStringLiteral("k%1=%2  ")
                 .arg(k)
                 .arg(QString::fromStdString(options.coefficients[static_cast<std::size_t>(k)]).trimmed());
  }
  items << QStringLiteral("  N=%1  K=%2  seed=%3").arg(n).arg(options.steps).arg(options.seed);
  QStringList lines{QString()};
  for (QString item : items) {
    if (!lines.back().isEmpty() && metrics.horizontalAdvance(lines.back() + item.trimmed()) > width) {
      lines << QString();
    }
    if (lines.back().isEmpty()) {
      while (item.startsWith(QLatin1Char(' '))) item.remove(0, 1);
    }
    if (metrics.horizontalAdvance(item.trimmed()) > width) item = metrics.elidedText(item, Qt::ElideRight, width);
    lines.back() += item;
  }
  return lines;
}

namespace {

// The sheet's texts, fonts and the places around the grid.
struct SheetFrame {
  QFont font = SheetFont(false), bold = SheetFont(true);
  QFontMetrics metrics{font}, boldMetrics{bold};
  int line = metrics.height();
  QString heading;
  QStringList fixed;
  int labelWidth = 0, legendWidth = 0;
  int gridWidth = 0, gridHeight = 0, legendTop = 0, width = 0, height = 0;
};

QString Heading(const RunOptions& options, bool square) {
  return QStringLiteral("Pattern atlas, %1: %2 from %3 to %4 across, %5 from %6 to %7 up")
      .arg(square ? "2D" : "1D", CoefficientName(options.x.coefficient),
           QString::fromStdString(options.x.texts.front()), QString::fromStdString(options.x.texts.back()),
           CoefficientName(options.y.coefficient), QString::fromStdString(options.y.texts.front()),
           QString::fromStdString(options.y.texts.back()));
}

// Sizes the tiles to the sheet and places the grid (into `l`) and the texts.
SheetFrame Measure(ContactSheet::Layout& l) {
  const RunOptions& options = l.options;
  const int columns = static_cast<int>(options.x.texts.size()), rows = static_cast<int>(options.y.texts.size());
  SheetFrame f;
  const int line = f.line;
  f.heading = Heading(options, l.square);
  for (const std::string& text : options.y.texts) {
    f.labelWidth = std::max(f.labelWidth, f.metrics.horizontalAdvance(QString::fromStdString(text)));
  }
  for (PatternClass p : AllPatternClasses) f.legendWidth += line + 4 + f.metrics.horizontalAdvance(ClassName(p)) + 16;
  f.legendWidth += line + 4 + f.metrics.horizontalAdvance(PredictedLegend);
  l.gridLeft = Margin + line + 8 + f.labelWidth + 6;
  const int extraX = l.gridLeft + Margin;
  // Below the grid: ticks, the axis name, the legend.
  const int extraBelow = 6 + 2 * line + 10 + line + Margin;
  const auto fit = [&](int titleLines) {
    l.gridTop = Margin + f.boldMetrics.height() + titleLines * line + 12;
    l.tile = FitTiles(l.n, l.square, ProfileImageHeight, columns, rows, extraX, l.gridTop + extraBelow);
    l.pitchX = l.tile.width + 2 * FrameWidth + TileGap;
    l.pitchY = l.tile.height + 2 * FrameWidth + TileGap;
  };
  fit(1);
  const int titleWidth = std::max({MinTitleWidth, columns * l.pitchX - TileGap + extraX - 2 * Margin,
                                   f.boldMetrics.horizontalAdvance(f.heading), f.legendWidth});
  f.fixed = FixedLines(options, l.n, f.metrics, titleWidth);
  fit(static_cast<int>(f.fixed.size()));
  f.gridWidth = columns * l.pitchX - TileGap;
  f.gridHeight = rows * l.pitchY - TileGap;
  f.legendTop = l.gridTop + f.gridHeight + 6 + 2 * line + 10;

  int fixedWidth = 0;
  for (const QString& text : f.fixed) fixedWidth = std::max(fixedWidth, f.metrics.horizontalAdvance(text));
  f.width = std::max({l.gridLeft + f.gridWidth + Margin, Margin + f.boldMetrics.horizontalAdvance(f.heading) + Margin,
                      Margin + fixedWidth + Margin, Margin + f.legendWidth + Margin});
  f.height = f.legendTop + line + Margin;
  return f;
}

void DrawTitle(QPainter& painter, const SheetFrame& f) {
  painter.setFont(f.bold);
  painter.drawText(QRect(Margin, Margin, f.width - 2 * Margin, f.boldMetrics.height()), Qt::AlignLeft, f.heading);
  painter.setFont(f.font);
  for (int i = 0; i < f.fixed.size(); ++i) {
    painter.drawText(QRect(Margin, Margin + f.boldMetrics.height() + 2 + i * f.line, f.width - 2 * Margin, f.line),
                     Qt::AlignLeft, f.fixed[i]);
  }
}

// Ticks: each column's and row's value, as the box text that ran; and the
// names of the two coefficients.
void DrawAxes(QPainter& painter, const ContactSheet::Layout& l, const SheetFrame& f) {
  const RunOptions& options = l.options;
  const int columns = static_cast<int>(options.x.texts.size()), rows = static_cast<int>(options.y.texts.size());
  for (int c = 0; c < columns; ++c) {
    const QRect box(l.gridLeft + c * l.pitchX - TileGap / 2, l.gridTop + f.gridHeight + 6, l.pitchX, f.line);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop,
                     QString::fromStdString(options.x.texts[static_cast<std::size_t>(c)]));
  }
  painter.drawText(QRect(l.gridLeft, l.gridTop + f.gridHeight + 6 + f.line, f.gridWidth, f.line), Qt::AlignHCenter,
                   CoefficientName(options.x.coefficient));
  for (int r = 0; r < rows; ++r) {
    const int top = l.gridTop + (rows - 1 - r) * l.pitchY;
    const QRect box(l.gridLeft - 6 - f.labelWidth, top, f.labelWidth, l.pitchY - TileGap);
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(options.y.texts[static_cast<std::size_t>(r)]));
  }
  painter.save();
  painter.translate(Margin, l.gridTop + f.gridHeight);
  painter.rotate(-90);
  painter.drawText(QRect(0, 0, f.gridHeight, f.line), Qt::AlignHCenter, CoefficientName(options.y.coefficient));
  painter.restore();
}

void DrawLegend(QPainter& painter, const SheetFrame& f) {
  const int line = f.line;
  int x = Margin;
  for (PatternClass p : AllPatternClasses) {
    painter.fillRect(QRect(x, f.legendTop + 1, line - 2, line - 2), QColor::fromRgb(ClassColour(p)));
    x += line + 4;
    painter.drawText(QRect(x, f.legendTop, f.width, line), Qt::AlignLeft, ClassName(p));
    x += f.metrics.horizontalAdvance(ClassName(p)) + 16;
  }
  painter.save();
  DrawCornerMark(painter, x + line - 3, f.legendTop + 1, line - 2);
  painter.restore();
  painter.drawText(QRect(x + line + 4, f.legendTop, f.width, line), Qt::AlignLeft, PredictedLegend);
}

}  // namespace

ContactSheet::ContactSheet(const RunOptions& options, int n) : layout_(std::make_unique<Layout>()) {
  Layout& l = *layout_;
  l.options = options;
  l.n = std::max(n, 1);
  l.square = options.mode == Mode::TwoD;
  const SheetFrame f = Measure(l);
  l.image = QImage(f.width, f.height, QImage::Format_RGB32);
  if (l.image.isNull()) {
    throw std::runtime_error("no memory for a sheet of " + std::to_string(f.width) + " x " + std::to_string(f.height) +
                             " pixels");
  }
  l.image.setDotsPerMeterX(DotsPerMetreAt96Dpi);
  l.image.setDotsPerMeterY(DotsPerMetreAt96Dpi);
  l.image.fill(Background);

  QPainter painter(&l.image);
  painter.setPen(QColor::fromRgb(Ink));
  DrawTitle(painter, f);
  DrawAxes(painter, l, f);
  DrawLegend(painter, f);
}

ContactSheet::~ContactSheet() = default;

void ContactSheet::Place(std::size_t point, PatternClass pattern, bool patternPredicted,
                         const std::vector<float>& field) {
  Layout& l = *layout_;
  const QPoint at = l.TileOrigin(point);
  {
    QPainter painter(&l.image);
    const QRect frame(at.x() - FrameWidth, at.y() - FrameWidth, l.tile.width + 2 * FrameWidth,
                      l.tile.height + 2 * FrameWidth);
    painter.fillRect(frame, QColor::fromRgb(ClassColour(pattern)));
  }
  const auto cells = static_cast<std::size_t>(l.square ? l.n * l.n : l.n);
  const Buffer u(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(cells));
  // Over the frame's corner and a fifth of the tile: seen at a glance, most
  // of the field still in view.
  const auto mark = [&] {
    if (!patternPredicted) return;
    QPainter painter(&l.image);
    DrawCornerMark(painter, at.x() + l.tile.width + FrameWidth - 1, at.y() - FrameWidth,
                   std::max(8, std::min(l.tile.width, l.tile.height) / 5));
  };
  if (l.square) {
    l.Blit(ComposeFieldImage(u, l.n, l.n, l.n, 0, *l.options.palette), at, l.tile.width, l.tile.height);
    mark();
    return;
  }
  const Buffer v(field.begin() + static_cast<std::ptrdiff_t>(cells), field.end());
  const int plot = l.tile.plotHeight;
  l.Blit(ComposeProfileImage(u, l.n, plot, Umax, 0xFF0000), at, l.tile.width, plot);
  for (int r = 0; r < PlotGap; ++r) {
    auto* line = reinterpret_cast<QRgb*>(l.image.scanLine(at.y() + plot + r)) + at.x();
    std::fill(line, line + l.tile.width, PlotSeparator);
  }
  l.Blit(ComposeProfileImage(v, l.n, plot, Vmax, 0x0000FF), {at.x(), at.y() + plot + PlotGap}, l.tile.width, plot);
  mark();
}

std::string ContactSheet::Png() const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!layout_->image.save(&buffer, "PNG")) throw std::runtime_error("cannot encode the contact sheet");
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void ContactSheet::Save(const std::string& path) const {
  try {
    WriteFileWhole(path, Png());
  } catch (const RunError& error) {
    throw std::runtime_error(error.detail());
  }
}

}  // namespace rdsim::atlas

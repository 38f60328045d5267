#include "ui/picture_box.h"

#include <QFocusEvent>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

#include "image_io/raster.h"

namespace rdsim {

namespace {

constexpr int kBorder = 2;

// Geometry beyond what a widget can take is clamped rather than overflowing.
bool ToPixels(double value, int low, int& out) {
  if (std::isnan(value)) return false;
  const double rounded = std::nearbyint(value);  // ties to even
  out = int(std::clamp(rounded, double(low), double(QWIDGETSIZE_MAX)));
  return true;
}

int ButtonCode(Qt::MouseButtons buttons) {
  int code = 0;
  if (buttons & Qt::LeftButton) code |= 1;
  if (buttons & Qt::RightButton) code |= 2;
  if (buttons & Qt::MiddleButton) code |= 4;
  return code;
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
  int code = 0;
  if (modifiers & Qt::ShiftModifier) code |= 1;
  if (modifiers & Qt::ControlModifier) code |= 2;
  if (modifiers & Qt::AltModifier) code |= 4;
  return code;
}

bool Inside(const QWidget* widget, QPointF p) {
  return p.x() >= 0 && p.y() >= 0 && p.x() < widget->width() && p.y() < widget->height();
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, bool bordered) : QWidget(parent), border_(bordered ? kBorder : 0) {
  setMouseTracking(true);
  // Border and image cover every pixel, so Qt need not clear first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  SyncImage();
}

void PictureBox::Place(double left, double top, double width, double height) {
  QRect g = geometry();
  int v;
  if (ToPixels(left, -QWIDGETSIZE_MAX, v)) g.moveLeft(v);
  if (ToPixels(top, -QWIDGETSIZE_MAX, v)) g.moveTop(v);
  if (ToPixels(width, 0, v)) g.setWidth(v);
  if (ToPixels(height, 0, v)) g.setHeight(v);
  setGeometry(g);
  // A hidden widget gets its resize event only when shown; the area must
  // follow now.
  SyncImage();
}

void PictureBox::SetLeft(double left) { Place(left, y(), width(), height()); }
void PictureBox::SetTop(double top) { Place(x(), top, width(), height()); }
void PictureBox::SetWidth(double width) { Place(x(), y(), width, height()); }
void PictureBox::SetHeight(double height) { Place(x(), y(), width(), height); }

int PictureBox::AreaWidth() const { return image_.width(); }
int PictureBox::AreaHeight() const { return image_.height(); }

void PictureBox::Scale(double x1, double y1, double x2, double y2) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2) || x1 == x2 || y1 == y2)
    return;
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  pixelScale_ = false;
  EndArcs();
}

void PictureBox::ScalePixels() {
  pixelScale_ = true;
  EndArcs();
}

double PictureBox::ScaleWidth() const { return pixelScale_ ? AreaWidth() : x2_ - x1_; }
double PictureBox::ScaleHeight() const { return pixelScale_ ? AreaHeight() : y2_ - y1_; }

void PictureBox::SetBackColor(QRgb color) {
  backColor_ = color & 0xFFFFFF;
  Cls();
}

QRgb PictureBox::BackColor() const { return backColor_; }

void PictureBox::Cls() {
  EndArcs();
  Repaint(raster::Fill(image_, backColor_));
}

void PictureBox::PSet(float x, float y, QRgb color) {
  EndArcs();
  Repaint(raster::SetPixel(image_, PixelX(x), PixelY(y), color));
}

void PictureBox::Line(float x1, float y1, float x2, float y2, QRgb color) {
  EndArcs();
  Repaint(raster::DrawLine(image_, PixelX(x1), PixelY(y1), PixelX(x2), PixelY(y2), color));
}

void PictureBox::Circle(float cx, float cy, float radius, QRgb color, float start, float end) {
  const double r = pixelScale_ ? radius : double(radius) * AreaWidth() / (x2_ - x1_);
  const bool goesOn = arcsGoOn_ && cx == arcCx_ && cy == arcCy_ && start == arcEnd_ && (color & 0xFFFFFF) == arcColor_;
  if (!goesOn) arcs_.Reset();
  Repaint(raster::ExtendArc(image_, arcs_, PixelX(cx), PixelY(cy), r, start, end, color));
  arcsGoOn_ = true;
  arcCx_ = cx;
  arcCy_ = cy;
  arcEnd_ = end;
  arcColor_ = color & 0xFFFFFF;
}

void PictureBox::Blit(const QImage& source) {
  EndArcs();
  Repaint(raster::Blit(image_, source));
}

std::int64_t PictureBox::GetPixel(int x, int y) const { return raster::PixelAt(image_, x, y); }

void PictureBox::Blit(const PixelImage& source) {
  // Blit makes the pixels opaque, so the 0xRRGGBB values go in as they are.
  Blit(QImage(reinterpret_cast<const uchar*>(source.pixels.data()), source.width, source.height,
              static_cast<qsizetype>(source.width) * 4, QImage::Format_RGB32));
}

PixelImage PictureBox::Pixels() const {
  PixelImage copy(image_.width(), image_.height(), 0u);
  for (int y = 0; y < copy.height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    for (int x = 0; x < copy.width; ++x) copy.at(x, y) = line[x] & 0xFFFFFFu;
  }
  return copy;
}

double PictureBox::UserX(double pixelX) const {
  if (pixelScale_) return pixelX;
  if (AreaWidth() == 0) return x1_;
  return x1_ + pixelX * (x2_ - x1_) / AreaWidth();
}

double PictureBox::UserY(double pixelY) const {
  if (pixelScale_) return pixelY;
  if (AreaHeight() == 0) return y1_;
  return y1_ + pixelY * (y2_ - y1_) / AreaHeight();
}

double PictureBox::PixelX(double userX) const {
  if (pixelScale_) return userX;
  return (userX - x1_) * AreaWidth() / (x2_ - x1_);
}

double PictureBox::PixelY(double userY) const {
  if (pixelScale_) return userY;
  return (userY - y1_) * AreaHeight() / (y2_ - y1_);
}

void PictureBox::SyncImage() {
  const int w = std::max(0, width() - 2 * border_);
  const int h = std::max(0, height() - 2 * border_);
  if (image_.width() == w && image_.height() == h) return;
  EndArcs();
  image_ = raster::Resized(image_, w, h, backColor_);
}

void PictureBox::Repaint(const QRect& areaRect) {
  if (areaRect.isEmpty()) return;
  if (batchDepth_ > 0) {
    batched_ |= areaRect;
    return;
  }
  // Queued, not immediate: a burst of drawing costs one repaint.
  update(areaRect.translated(border_, border_));
}

void PictureBox::EndBatch() {
  if (--batchDepth_ > 0) return;
  const QRect rect = batched_;
  batched_ = QRect();
  Repaint(rect);
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (border_ > 0) {
    const int w = width(), h = height();
    // Sunken edge: dark top and left, light bottom and right.
    painter.fillRect(0, 0, w - 1, 1, QColor(160, 160, 160));
    painter.fillRect(0, 0, 1, h - 1, QColor(160, 160, 160));
    painter.fillRect(1, 1, w - 3, 1, QColor(105, 105, 105));
    painter.fillRect(1, 1, 1, h - 3, QColor(105, 105, 105));
    painter.fillRect(0, h - 1, w, 1, QColor(255, 255, 255));
    painter.fillRect(w - 1, 0, 1, h, QColor(255, 255, 255));
    painter.fillRect(1, h - 2, w - 2, 1, QColor(227, 227, 227));
    painter.fillRect(w - 2, 1, 1, h - 2, QColor(227, 227, 227));
  }
  const QRect area(border_, border_, image_.width(), image_.height());
  const QRect target = event->rect() & area;
  if (!target.isEmpty()) painter.drawImage(target, image_, target.translated(-border_, -border_));
  if (hasFocus()) {
    PaintFocus(painter);
    PaintCursor(painter);
  }
}

void PictureBox::ShowCursorAt(QPoint areaPixel) {
  if (cursor_ == areaPixel) return;
  cursor_ = areaPixel;
  if (hasFocus()) update();
}

// Two rings around the pixel, white inside black: one of them stands out on
// any grey and any colour of the pictures.
void PictureBox::PaintCursor(QPainter& painter) {
  if (!cursor_) return;
  painter.save();
  painter.setClipRect(QRect(border_, border_, image_.width(), image_.height()));
  const QPoint at = *cursor_ + QPoint(border_, border_);
  const auto ring = [&painter, at](int distance, const QColor& color) {
    const int side = 2 * distance + 1;
    painter.fillRect(at.x() - distance, at.y() - distance, side, 1, color);
    painter.fillRect(at.x() - distance, at.y() + distance, side, 1, color);
    painter.fillRect(at.x() - distance, at.y() - distance, 1, side, color);
    painter.fillRect(at.x() + distance, at.y() - distance, 1, side, color);
  };
  ring(1, Qt::white);
  ring(2, Qt::black);
  painter.restore();
}

// Shows the keyboard focus on the screen only; the persistent image, which
// the export saves and the tools read, is untouched.
void PictureBox::PaintFocus(QPainter& painter) {
  const QColor highlight = palette().color(QPalette::Highlight);
  if (border_ > 0) {
    // The sunken border turns the highlight colour, so no cell is hidden.
    const int w = width(), h = height(), b = border_;
    painter.fillRect(0, 0, w, b, highlight);
    painter.fillRect(0, h - b, w, b, highlight);
    painter.fillRect(0, 0, b, h, highlight);
    painter.fillRect(w - b, 0, b, h, highlight);
    return;
  }
  // Borderless: a dotted frame along the edge of the drawing.
  painter.setPen(QPen(highlight, 1, Qt::DotLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, width() - 1, height() - 1);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SyncImage();
}

QPointF PictureBox::UserPosition(const QMouseEvent* event) const {
  const QPointF p = event->position() - QPointF(border_, border_);
  return QPointF(UserX(p.x()), UserY(p.y()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  held_ = event->buttons();
  if (event->button() == Qt::LeftButton) clickArmed_ = Inside(this, event->position());
  const QPointF u = UserPosition(event);
  emit MouseDown(ButtonCode(event->button()), ShiftCode(event->modifiers()), float(u.x()), float(u.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  held_ = event->buttons();
  const QPointF u = UserPosition(event);
  emit MouseMove(ButtonCode(event->buttons()), ShiftCode(event->modifiers()), float(u.x()), float(u.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF u = UserPosition(event);
  const bool click = event->button() == Qt::LeftButton && clickArmed_ && Inside(this, event->position());
  if (event->button() == Qt::LeftButton) clickArmed_ = false;
  held_ = event->buttons();
  emit MouseUp(ButtonCode(event->button()), ShiftCode(event->modifiers()), float(u.x()), float(u.y()));
  if (click) emit Click();
}

bool PictureBox::HandlesClick() const { return isSignalConnected(QMetaMethod::fromSignal(&PictureBox::Click)); }

void PictureBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
    if (!event->isAutoRepeat()) emit Click();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void PictureBox::LoseMouse() {
  if (held_ == Qt::NoButton) return;
  held_ = Qt::NoButton;
  clickArmed_ = false;
  emit MouseLost();
}

// A message box blocks this window; another window that takes over
// deactivates it; a menu opened from the keyboard takes the focus with the
// popup reason.
bool PictureBox::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::WindowBlocked:
    case QEvent::WindowDeactivate:
    case QEvent::UngrabMouse: LoseMouse(); break;
    case QEvent::FocusOut: {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) LoseMouse();
      break;
    }
    default: break;
  }
  return QWidget::event(event);
}

void PictureBox::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  LoseMouse();
}

}  // namespace rdsim

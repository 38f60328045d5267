#include "ui/picture_cursor.h"

#include <QEvent>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>

#include "ui/picture_box.h"

namespace rdsim {

namespace {

// Values 0 to 10 by 0.1.
constexpr int kValuePlaces = 101;
constexpr int kValueBigStep = 10;
constexpr int kCellBigStep = 8;
// The phase plane's units per unit of u or v.
constexpr double kPhaseUnits = 200.0;

CursorAxis Across(PictureCursor::Kind kind) {
  if (kind == PictureCursor::Kind::Values) return {kValuePlaces, kValueBigStep, true};
  return {1, kCellBigStep, true};
}

CursorAxis Down(PictureCursor::Kind kind) {
  if (kind == PictureCursor::Kind::Cells) return {1, kCellBigStep, false};
  return {kValuePlaces, kValueBigStep, true};
}

// A place by 0.1 as an exact decimal: 3 / 10.0 is 0.3, 3 * 0.1 is not.
double Value(int place) { return place / 10.0; }

int PixelOf(double pixel, int size) { return std::clamp(int(std::floor(pixel)), 0, std::max(size - 1, 0)); }

// A field's cells: one per user unit, which is one pixel in the main window
// and a square of pixels in an enlarged picture.
int CellCount(double userSize) { return std::max(1, int(std::lround(std::abs(userSize)))); }
int CellPixels(int areaSize, double userSize) { return std::max(1, areaSize / CellCount(userSize)); }

}  // namespace

PictureCursor::PictureCursor(PictureBox* picture, Kind kind, Describe describe)
    : QObject(picture),
      picture_(picture),
      kind_(kind),
      describe_(std::move(describe)),
      cursor_(Across(kind), Down(kind)),
      instructions_(picture->accessibleDescription()) {
  quiet_.setSingleShot(true);
  quiet_.setInterval(AnnounceMilliseconds);
  quiet_.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire early
  connect(&quiet_, &QTimer::timeout, this, &PictureCursor::Announce);
  picture->installEventFilter(this);
  Fit();
}

void PictureCursor::Fit() {
  const bool cells = kind_ == Kind::Cells;
  const int columns = kind_ == Kind::Values ? kValuePlaces
                      : cells               ? CellCount(picture_->ScaleWidth())
                                            : picture_->AreaWidth();
  const int rows = cells ? CellCount(picture_->ScaleHeight()) : kValuePlaces;
  cursor_.Fit(columns, rows);
  picture_->ShowCursorAt(AreaPixel());
}

QPointF PictureCursor::UserPoint() const {
  const int c = cursor_.Column(), r = cursor_.Row();
  switch (kind_) {
    case Kind::Cells:
      return {picture_->UserX(c * CellPixels(picture_->AreaWidth(), picture_->ScaleWidth())),
              picture_->UserY(r * CellPixels(picture_->AreaHeight(), picture_->ScaleHeight()))};
    case Kind::CellValues: return {picture_->UserX(c), Value(r)};
    case Kind::Values: break;
  }
  return {Value(c) * kPhaseUnits, Value(r) * kPhaseUnits};
}

QPoint PictureCursor::AreaPixel() const {
  if (kind_ == Kind::Cells) {
    const int across = CellPixels(picture_->AreaWidth(), picture_->ScaleWidth());
    const int down = CellPixels(picture_->AreaHeight(), picture_->ScaleHeight());
    return {cursor_.Column() * across + across / 2, cursor_.Row() * down + down / 2};
  }
  const QPointF user = UserPoint();
  const int x =
      kind_ == Kind::CellValues ? cursor_.Column() : PixelOf(picture_->PixelX(user.x()), picture_->AreaWidth());
  return {x, PixelOf(picture_->PixelY(user.y()), picture_->AreaHeight())};
}

bool PictureCursor::eventFilter(QObject* watched, QEvent* event) {
  if (watched != picture_) return false;
  switch (event->type()) {
    case QEvent::KeyPress: return KeyPress(static_cast<const QKeyEvent&>(*event));
    case QEvent::KeyRelease: {
      const auto& key = static_cast<const QKeyEvent&>(*event);
      if (key.key() != Qt::Key_Space) return false;
      if (!key.isAutoRepeat() && stroke_) EndStroke();
      return true;
    }
    case QEvent::FocusIn: FocusIn(); break;
    case QEvent::FocusOut: FocusOut(); break;
    case QEvent::Hide:
      if (stroke_) EndStroke();
      break;
    // Whatever changed the picture changed what is under the cursor; a
    // resize may have moved the cursor.
    case QEvent::Paint:
      Fit();
      if (picture_->hasFocus()) Announce();
      break;
    default: break;
  }
  return false;
}

bool PictureCursor::KeyPress(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  // Keys with Ctrl or Alt belong to the menus and shortcuts.
  if (modifiers & ~Qt::ShiftModifier) return false;
  const bool big = modifiers == Qt::ShiftModifier;
  Fit();
  switch (event.key()) {
    case Qt::Key_Left: cursor_.Move(-1, 0, big); break;
    case Qt::Key_Right: cursor_.Move(1, 0, big); break;
    case Qt::Key_Up: cursor_.Move(0, -1, big); break;
    case Qt::Key_Down: cursor_.Move(0, 1, big); break;
    case Qt::Key_Home: cursor_.ToRowStart(); break;
    case Qt::Key_End: cursor_.ToRowEnd(); break;
    case Qt::Key_Space:
      // Held down, the key repeats: the stroke has begun at the first.
      if (!event.isAutoRepeat() && !stroke_) StartStroke();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!stroke_) {
        StartStroke();
        EndStroke();
      }
      return true;
    case Qt::Key_Escape:
      if (!stroke_) return false;
      EndStroke();
      return true;
    default: return false;
  }
  Moved();
  return true;
}

void PictureCursor::Moved() {
  picture_->ShowCursorAt(AreaPixel());
  if (stroke_) {
    const QPointF at = UserPoint();
    emit MouseMove(1, 0, float(at.x()), float(at.y()));
  }
  Announce();
}

void PictureCursor::StartStroke() {
  stroke_ = true;
  const QPointF at = UserPoint();
  emit MouseDown(1, 0, float(at.x()), float(at.y()));
  Announce();
}

void PictureCursor::EndStroke() {
  stroke_ = false;
  const QPointF at = UserPoint();
  emit MouseUp(1, 0, float(at.x()), float(at.y()));
  Announce();
}

// Each announcement opens a quiet interval; a change within it is told when
// it ends, which opens the next one.
void PictureCursor::Announce() {
  if (quiet_.isActive() || !picture_->hasFocus()) return;
  const QString text = describe_(UserPoint());
  if (text == announced_) return;
  announced_ = text;
  picture_->setAccessibleDescription(text);
  quiet_.start();
  emit Announced(text);
}

// Arriving, a reader hears the place and then how to use the picture.
void PictureCursor::FocusIn() {
  Fit();
  announced_ = describe_(UserPoint());
  picture_->setAccessibleDescription(announced_ + QStringLiteral(". ") + instructions_);
  quiet_.start();
  emit Announced(announced_);
}

void PictureCursor::FocusOut() {
  if (stroke_) EndStroke();
  quiet_.stop();
  announced_.clear();
  picture_->setAccessibleDescription(instructions_);
}

}  // namespace rdsim

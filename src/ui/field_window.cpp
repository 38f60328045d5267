#include "ui/field_window.h"

#include <QScreen>

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/constants.h"
#include "core/number_text.h"
#include "pixels/field_picture.h"
#include "ui/accessibility.h"
#include "ui/app_settings.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"
#include "ui/picture_cursor.h"

namespace rdsim {

namespace {

// Room around the picture for the axes' numbers and the colour bar.
constexpr int kLeft = 52, kTop = 10, kBottom = 30, kRight = 16;
constexpr int kBarGap = 14, kBarWidth = 22, kBarLabels = 70;
constexpr int kPlotGap = 16;
constexpr int kIdleMilliseconds = 100;
constexpr qint64 kShownMilliseconds = 20;

QString TickText(double value) { return QString::number(value, 'g', 6); }

std::optional<float> CellValue(const Buffer& cells, std::int64_t k) {
  if (k < 0 || static_cast<std::uint64_t>(k) >= cells.size()) return std::nullopt;
  return cells[static_cast<std::size_t>(k)];
}

}  // namespace

// The area under the choices: the 2D picture and its axes and colour bar, or
// the two profile plots of 1D, which it draws and takes presses on itself.
class FieldStage : public QWidget {
 public:
  explicit FieldStage(FieldWindow& window) : QWidget(&window), window_(window) {
    setMouseTracking(true);
    setMinimumSize(320, 240);
    setAutoFillBackground(true);
  }

  // The drawing area of profile `index` (0 u, 1 v) and its pixels per cell.
  QRect PlotRect(int index, int n, int* zoom) const {
    const int plotHeight = std::max(20, (height() - kTop - 2 * kBottom - kPlotGap) / 2);
    const int z = std::max(1, (width() - kLeft - kRight) / std::max(n, 1));
    if (zoom) *zoom = z;
    return {kLeft, kTop + index * (plotHeight + kBottom + kPlotGap), z * n, plotHeight};
  }
  // A profile stroke is in progress.
  bool Drawing() const { return strokePlot_ >= 0; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override { window_.Fit(); }
  void mousePressEvent(QMouseEvent* event) override { Press(event, 0); }
  void mouseMoveEvent(QMouseEvent* event) override { Press(event, 1); }
  void mouseReleaseEvent(QMouseEvent* event) override { Press(event, 2); }
  void leaveEvent(QEvent*) override {
    if (window_.mode_ == Mode::OneD) window_.Point(std::nullopt);
  }

 private:
  void PaintField(QPainter& painter);
  void PaintPlot(QPainter& painter, int index);
  void PaintBar(QPainter& painter, const QRect& beside);
  void Press(QMouseEvent* event, int phase);

  FieldWindow& window_;
  int strokePlot_ = -1;  // the profile a left press began on
};

void FieldStage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  if (window_.mode_ == Mode::TwoD) PaintField(painter);
  if (window_.mode_ == Mode::OneD) {
    PaintPlot(painter, 0);
    PaintPlot(painter, 1);
  }
}

// Ticks along one side: `cells` cells of `zoom` pixels from `start`.
void CellAxis(QPainter& painter, const QRect& area, int cells, int zoom, bool across) {
  const int most = std::max(2, (across ? area.width() : area.height()) / 60);
  for (const double tick : AxisTicks({0, double(cells)}, most)) {
    const int at = int(tick) * zoom;
    if (across) {
      const int x = area.left() + at;
      painter.drawLine(x, area.bottom() + 1, x, area.bottom() + 5);
      painter.drawText(QRect(x - 30, area.bottom() + 6, 60, 18), Qt::AlignHCenter | Qt::AlignTop, TickText(tick));
    } else {
      const int y = area.top() + at;
      painter.drawLine(area.left() - 5, y, area.left() - 1, y);
      painter.drawText(QRect(0, y - 9, area.left() - 8, 18), Qt::AlignRight | Qt::AlignVCenter, TickText(tick));
    }
  }
}

void FieldStage::PaintField(QPainter& painter) {
  if (!window_.Picture->isVisible()) return;
  const QRect area = window_.Picture->geometry();
  const int n = window_.n_, z = window_.zoom_;
  CellAxis(painter, area, n, z, true);
  CellAxis(painter, area, n, z, false);
  PaintBar(painter, area);
}

void FieldStage::PaintBar(QPainter& painter, const QRect& beside) {
  const QRect bar(beside.right() + 1 + kBarGap, beside.top(), kBarWidth, beside.height());
  const Palette& colours = *window_.palette_;
  for (int y = 0; y < bar.height(); ++y) {
    const int level = bar.height() > 1 ? 255 - (y * 255 + (bar.height() - 1) / 2) / (bar.height() - 1) : 255;
    painter.fillRect(bar.left(), bar.top() + y, bar.width(), 1, QColor::fromRgb(colours.colours[level]));
  }
  painter.drawRect(bar.adjusted(-1, -1, 0, 0));
  const ValueRange range = window_.ranges_.activator;
  for (const double tick : AxisTicks(range, std::max(2, bar.height() / 40))) {
    const int y = bar.bottom() - int(std::lround((tick - range.lo) / (range.hi - range.lo) * (bar.height() - 1)));
    painter.drawLine(bar.right() + 1, y, bar.right() + 5, y);
    painter.drawText(QRect(bar.right() + 8, y - 9, kBarLabels - 8, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     TickText(tick));
  }
}

void FieldStage::PaintPlot(QPainter& painter, int index) {
  const Simulation& sim = window_.form_.session.sim;
  const int n = std::min<int>(sim.N, MaxFieldSize);
  const Buffer& values = index == 0 ? sim.buffers.U : sim.buffers.V;
  if (n <= 0 || values.size() < std::size_t(n)) return;
  int z = 1;
  const QRect area = PlotRect(index, n, &z);
  const ValueRange range = index == 0 ? window_.ranges_.activator : window_.ranges_.inhibitor;
  painter.fillRect(area, Qt::white);
  const QColor colour = index == 0 ? Qt::red : Qt::blue;
  const double perValue = area.height() / (range.hi - range.lo);
  const auto rowOf = [&](double value) {
    return int(std::clamp(std::floor((range.hi - value) * perValue), 0.0, double(area.height())));
  };
  // Bars rise from 0, or from the bottom of a range above it: a zero field shows none.
  const double base = std::clamp(0.0, range.lo, range.hi);
  for (int i = 0; i < n; ++i) {
    const double v = values[std::size_t(i)];
    if (!std::isfinite(v)) continue;
    const int top = rowOf(std::max(v, base)), bottom = rowOf(std::min(v, base));
    if (bottom > top) painter.fillRect(area.left() + i * z, area.top() + top, z, bottom - top, colour);
  }
  painter.drawRect(area.adjusted(-1, -1, 0, 0));
  CellAxis(painter, area, n, z, true);
  for (const double tick : AxisTicks(range, std::max(2, area.height() / 40))) {
    const int y = area.bottom() - int(std::lround((tick - range.lo) * perValue));
    painter.drawLine(area.left() - 5, y, area.left() - 1, y);
    painter.drawText(QRect(0, y - 9, area.left() - 8, 18), Qt::AlignRight | Qt::AlignVCenter, TickText(tick));
  }
  painter.drawText(QRect(area.right() + 4, area.top(), kRight + 20, 18), Qt::AlignLeft, index == 0 ? "u" : "v");
}

// 1D: a press on a plot draws that profile through the main window's own
// handlers, in its units (cells across, the value upwards).
void FieldStage::Press(QMouseEvent* event, int phase) {
  if (window_.mode_ != Mode::OneD) return;
  const int n = window_.form_.session.sim.N;
  int z = 1;
  const QPointF at = event->position();
  int plot = strokePlot_;
  if (plot < 0) plot = PlotRect(1, n, &z).top() - kPlotGap / 2 <= at.y() ? 1 : 0;
  const QRect area = PlotRect(plot, n, &z);
  const ValueRange range = plot == 0 ? window_.ranges_.activator : window_.ranges_.inhibitor;
  const auto x = float((at.x() - area.left()) / z);
  const auto y = float(range.lo + (area.top() + area.height() - at.y()) / area.height() * (range.hi - range.lo));
  const int cell = int(std::floor(x));
  window_.Point(cell >= 0 && cell < n ? std::optional<QPoint>(QPoint(cell, 0)) : std::nullopt);
  frmMain& form = window_.form_;
  const int shift = 0;
  if (phase == 0) {
    if (event->button() == Qt::RightButton) {
      if (cell >= 0 && cell < n) emit window_.ProbeChosen(cell, 0);
      return;
    }
    if (event->button() != Qt::LeftButton) return;
    strokePlot_ = plot;
    plot == 0 ? form.Picture1_MouseDown(1, shift, x, y) : form.Picture2_MouseDown(1, shift, x, y);
  } else if (phase == 1 && strokePlot_ >= 0) {
    const int buttons = event->buttons() & Qt::LeftButton ? 1 : 0;
    plot == 0 ? form.Picture1_MouseMove(buttons, shift, x, y) : form.Picture2_MouseMove(buttons, shift, x, y);
  } else if (phase == 2 && event->button() == Qt::LeftButton && strokePlot_ >= 0) {
    plot == 0 ? form.Picture1_MouseUp(1, shift, x, y) : form.Picture2_MouseUp(1, shift, x, y);
    strokePlot_ = -1;
  }
  if (!form.session.Running) window_.Follow();
}

FieldWindow::FieldWindow(frmMain& form) : QWidget(&form, Qt::Window), form_(form) {
  setObjectName(QStringLiteral("frmField"));
  setWindowTitle(QStringLiteral("Field"));
  setAttribute(Qt::WA_DeleteOnClose, false);

  Colours = new QComboBox(this);
  Colours->setObjectName(QStringLiteral("Colours"));
  for (const Palette* palette : Palettes()) Colours->addItem(QString::fromLatin1(palette->name));
  Colours->setAccessibleName(QStringLiteral("Colour map"));
  RangeKind = new QComboBox(this);
  RangeKind->setObjectName(QStringLiteral("RangeKind"));
  RangeKind->addItems({QStringLiteral("0 to 10"), QStringLiteral("Automatic"), QStringLiteral("From:to")});
  RangeKind->setAccessibleName(QStringLiteral("Range"));
  RangeKind->setToolTip(
      QStringLiteral("The values the colours span: the main window's fixed 0 to 10, the field's "
                     "minimum to maximum, or the values typed beside it."));
  RangeText = new QLineEdit(QStringLiteral("0:10"), this);
  RangeText->setObjectName(QStringLiteral("RangeText"));
  RangeText->setAccessibleName(QStringLiteral("Range from:to"));
  RangeText->setToolTip(QStringLiteral("LO:HI, the values of the first and the last colour, such as 0:6.5"));
  RangeText->setMaximumWidth(120);
  FullScreen = new QPushButton(QStringLiteral("Full Screen (F11)"), this);
  FullScreen->setObjectName(QStringLiteral("FullScreen"));

  auto* choices = new QHBoxLayout;
  choices->addWidget(new QLabel(QStringLiteral("Colours:"), this));
  choices->addWidget(Colours);
  choices->addSpacing(12);
  choices->addWidget(new QLabel(QStringLiteral("Range:"), this));
  choices->addWidget(RangeKind);
  choices->addWidget(RangeText);
  choices->addStretch(1);
  choices->addWidget(FullScreen);

  stage_ = new FieldStage(*this);
  stage_->setObjectName(QStringLiteral("Stage"));
  Picture = new PictureBox(stage_, false);
  Picture->setObjectName(QStringLiteral("FieldPicture"));
  Picture->setMouseTracking(true);
  Picture->setFocusPolicy(Qt::StrongFocus);
  Picture->setAccessibleName(QStringLiteral("Field"));
  Picture->setAccessibleDescription(
      QStringLiteral("The field, large. Arrow keys move the cell cursor; Space paints with the brush."));
  Values = new QLabel(this);
  Values->setObjectName(QStringLiteral("Values"));
  Values->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choices);
  layout->addWidget(stage_, 1);
  layout->addWidget(Values);

  // The pointer and the keyboard's cursor press through the main picture's handlers.
  connect(Picture, &PictureBox::MouseDown, this, [this](int button, int shift, float x, float y) {
    if (button == 2) {
      const int n = form_.session.sim.N;
      if (x >= 0 && y >= 0 && x < n && y < n) emit ProbeChosen(int(x), int(y));
      return;
    }
    form_.Picture3_MouseDown(button, shift, x, y);
    if (!form_.session.Running) Follow();
  });
  connect(Picture, &PictureBox::MouseMove, this, [this](int buttons, int shift, float x, float y) {
    const int n = form_.session.sim.N;
    Point(x >= 0 && y >= 0 && x < n && y < n ? std::optional<QPoint>(QPoint(int(x), int(y))) : std::nullopt);
    if (!(buttons & 1)) return;
    form_.Picture3_MouseMove(buttons, shift, x, y);
    if (!form_.session.Running) Follow();
  });
  connect(Picture, &PictureBox::MouseUp, this, [this](int button, int shift, float x, float y) {
    if (button == 1) form_.Picture3_MouseUp(button, shift, x, y);
  });
  Cursor = new PictureCursor(Picture, PictureCursor::Kind::Cells, [this](QPointF at) {
    const Simulation& sim = form_.session.sim;
    const auto x = std::int64_t(at.x()), y = std::int64_t(at.y());
    const std::int64_t k = x < sim.N ? x + y * sim.N : -1;
    return FieldCursorText(int(x), int(y), CellValue(NewestActivator(sim, mode_), k),
                           CellValue(NewestInhibitor(sim, mode_), k));
  });
  connect(Cursor, &PictureCursor::MouseDown, Picture, &PictureBox::MouseDown);
  connect(Cursor, &PictureCursor::MouseMove, Picture, &PictureBox::MouseMove);
  connect(Cursor, &PictureCursor::MouseUp, Picture, &PictureBox::MouseUp);

  connect(Colours, &QComboBox::currentIndexChanged, this, &FieldWindow::ChoiceChanged);
  connect(RangeKind, &QComboBox::currentIndexChanged, this, &FieldWindow::ChoiceChanged);
  connect(RangeText, &QLineEdit::editingFinished, this, &FieldWindow::ChoiceChanged);
  connect(FullScreen, &QPushButton::clicked, this, &FieldWindow::ToggleFullScreen);
  auto* f11 = new QShortcut(QKeySequence(Qt::Key_F11), this);
  connect(f11, &QShortcut::activated, this, &FieldWindow::ToggleFullScreen);

  clock_.start();
  late_.setSingleShot(true);
  connect(&late_, &QTimer::timeout, this, &FieldWindow::Follow);
  idle_.setInterval(kIdleMilliseconds);
  connect(&idle_, &QTimer::timeout, this, [this] {
    if (!form_.session.Running) Follow();
  });
  resize(760, 640);
  Recall();
}

FieldWindow::~FieldWindow() = default;

std::optional<RangeChoice> FieldWindow::Choice() const {
  switch (RangeKind->currentIndex()) {
    case 1: return RangeChoice{true, {}};
    case 2: return ParseRangeChoice(RangeText->text().trimmed().toStdString());
    default: return RangeChoice{};
  }
}

void FieldWindow::ChoiceChanged() {
  const Palette* palette = FindPalette(Colours->currentText().toStdString());
  palette_ = palette ? palette : &GreyPalette();
  RangeText->setEnabled(RangeKind->currentIndex() == 2);
  const std::optional<RangeChoice> choice = Choice();
  // A text that is no range keeps the last one, and says so.
  RangeText->setStyleSheet(choice ? QString() : QStringLiteral("color: red"));
  if (choice) choice_ = *choice;
  activatorRange_.Reset();
  inhibitorRange_.Reset();
  Remember();
  Follow();
}

void FieldWindow::Follow() {
  // A screen shows no more than about 50 pictures a second: a run's redraws
  // closer together than that wait for the next, and the last one always shows.
  const qint64 now = clock_.elapsed();
  if (form_.session.Running && now - shownAt_ < kShownMilliseconds) {
    if (!late_.isActive()) late_.start(int(kShownMilliseconds - (now - shownAt_)));
    return;
  }
  late_.stop();
  shownAt_ = now;
  const Simulation& sim = form_.session.sim;
  const Mode mode = form_.ports.SelectedMode();
  const bool resized = mode != mode_ || sim.N != n_;
  mode_ = mode;
  n_ = sim.N;
  if (resized) {
    activatorRange_.Reset();
    inhibitorRange_.Reset();
    Fit();
  }
  if (n_ <= 0 || mode_ == Mode::None) return;
  // A profile being drawn keeps its scale: the values under the pointer must
  // not move with the range the stroke itself changes.
  if (!stage_->Drawing() || resized) ranges_ = RangesFor(sim, mode_, choice_, activatorRange_, inhibitorRange_);
  if (mode_ == Mode::TwoD) {
    Picture->Blit(Enlarged(ComposeRangedField(NewestActivator(sim, mode_), n_, ranges_.activator, *palette_), zoom_));
    // The colour bar's numbers change only with an automatic range.
    if (choice_.automatic) stage_->update(QRect(Picture->geometry().right(), 0, stage_->width(), stage_->height()));
  } else {
    stage_->update();
  }
  ShowValues();
}

void FieldWindow::Fit() {
  const int n = std::max(n_, 1);
  Picture->setVisible(mode_ == Mode::TwoD);
  if (mode_ == Mode::TwoD) {
    const int across = stage_->width() - kLeft - kBarGap - kBarWidth - kBarLabels;
    const int down = stage_->height() - kTop - kBottom;
    zoom_ = std::max(1, std::min(across, down) / n);
    const int side = zoom_ * n;
    Picture->Place(kLeft + std::max(0, (across - side) / 2), kTop + std::max(0, (down - side) / 2), side, side);
    Picture->Scale(0, 0, n, n);
  } else {
    stage_->PlotRect(0, n, &zoom_);
  }
  stage_->update();
  if (isVisible()) Follow();
}

void FieldWindow::Point(std::optional<QPoint> cell) {
  pointed_ = cell;
  ShowValues();
}

void FieldWindow::ShowValues() {
  const Simulation& sim = form_.session.sim;
  QString text = QStringLiteral("Point at a cell to read its values.");
  if (pointed_ && mode_ != Mode::None) {
    const std::int64_t k = pointed_->x() + std::int64_t(pointed_->y()) * sim.N;
    const std::optional<float> u = CellValue(NewestActivator(sim, mode_), k);
    const std::optional<float> v = CellValue(NewestInhibitor(sim, mode_), k);
    text = mode_ == Mode::TwoD ? QStringLiteral("x %1, y %2").arg(pointed_->x()).arg(pointed_->y())
                               : QStringLiteral("x %1").arg(pointed_->x());
    if (u && v) {
      text += QStringLiteral(":  u = %1,  v = %2")
                  .arg(QString::fromStdString(ExactSingle(*u)), QString::fromStdString(ExactSingle(*v)));
    }
  }
  if (Values->text() != text) Values->setText(text);
}

void FieldWindow::ToggleFullScreen() {
  // Leaving full screen goes back to a maximised window if it was one.
  if (isFullScreen()) {
    maximisedBefore_ ? showMaximized() : showNormal();
  } else {
    maximisedBefore_ = isMaximized();
    showFullScreen();
  }
  Remember();
}

void FieldWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && isFullScreen()) {
    ToggleFullScreen();
    return;
  }
  QWidget::keyPressEvent(event);
}

void FieldWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The window manager may change the state too; the button tells the way back.
  if (event->type() == QEvent::WindowStateChange) {
    FullScreen->setText(isFullScreen() ? QStringLiteral("Leave Full Screen (Esc)")
                                       : QStringLiteral("Full Screen (F11)"));
  }
}

void FieldWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  idle_.start();
  Follow();
}

void FieldWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  idle_.stop();
  Remember();
}

void FieldWindow::Remember() const {
  QSettings settings = AppSettings();
  settings.beginGroup(QStringLiteral("FieldWindow"));
  settings.setValue(QStringLiteral("colours"), Colours->currentText());
  settings.setValue(QStringLiteral("range"), QString::fromStdString(RangeChoiceText(choice_)));
  settings.setValue(QStringLiteral("rangeKind"), RangeKind->currentIndex());
  settings.setValue(QStringLiteral("fullScreen"), isFullScreen());
  // Full screen or maximised, the size to keep is the one the window goes back to.
  settings.setValue(QStringLiteral("size"), normalGeometry().isValid() ? normalGeometry().size() : size());
}

void FieldWindow::Recall() {
  QSettings settings = AppSettings();
  settings.beginGroup(QStringLiteral("FieldWindow"));
  const QSignalBlocker colours(Colours), kind(RangeKind);
  const int colour = Colours->findText(settings.value(QStringLiteral("colours")).toString());
  if (colour >= 0) Colours->setCurrentIndex(colour);
  RangeKind->setCurrentIndex(std::clamp(settings.value(QStringLiteral("rangeKind"), 0).toInt(), 0, 2));
  const std::optional<RangeChoice> range =
      ParseRangeChoice(settings.value(QStringLiteral("range")).toString().toStdString());
  if (range && !range->automatic) RangeText->setText(QString::fromStdString(RangeChoiceText(*range)));
  const QSize size = settings.value(QStringLiteral("size")).toSize();
  // A size kept from a larger screen must still fit this one, frame and title bar included.
  const QSize room = screen() ? screen()->availableGeometry().size() * 0.95 : QSize(8192, 8192);
  if (size.isValid()) resize(size.boundedTo(room).expandedTo(QSize(360, 300)));
  const Palette* palette = FindPalette(Colours->currentText().toStdString());
  palette_ = palette ? palette : &GreyPalette();
  RangeText->setEnabled(RangeKind->currentIndex() == 2);
  if (const std::optional<RangeChoice> choice = Choice()) choice_ = *choice;
  if (settings.value(QStringLiteral("fullScreen"), false).toBool())
    setWindowState(windowState() | Qt::WindowFullScreen);
}

}  // namespace rdsim

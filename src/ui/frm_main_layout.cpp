#include <qdrawutil.h>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QWheelEvent>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "core/parameter_intake.h"
#include "run/run_control.h"
#include "ui/accessibility.h"
#include "ui/box_text.h"
#include "ui/control_table.h"
#include "ui/counter_label.h"
#include "ui/field_window.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/icons.h"
#include "ui/picture_box.h"
#include "ui/time_series_window.h"

namespace rdsim {

namespace {

void Put(QWidget* widget, Twips r) { widget->setGeometry(r.Pixels()); }

void FillBackground(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, color);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

// A frame drawn the classic way: an etched border whose top edge runs through
// the middle of the title. Without a layout its children sit exactly where
// they are put, relative to its own top-left corner, and the border never
// pushes them down the way a style's title area would.
class DesignFrame : public QGroupBox {
 public:
  DesignFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int borderTop = title().isEmpty() ? 0 : metrics.height() / 2;
    qDrawShadeRect(&painter, 0, borderTop, width(), height() - borderTop, palette(), true, 1, 0);
    if (title().isEmpty()) return;
    constexpr int TitleLeft = 8;
    // Room for the overhang of an italic last letter.
    const QRect titleRect(TitleLeft, 0, metrics.horizontalAdvance(title()) + metrics.averageCharWidth() / 2,
                          metrics.height());
    painter.fillRect(titleRect.adjusted(-2, 0, 2, 0), palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title());
  }
};

// A button that shows a picture instead of a caption: the picture is centred
// and clipped to the inside of the bevel, and moves with the press.
class PictureButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.icon = QIcon();
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    const QRect inside = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QPixmap picture = icon().pixmap(iconSize(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
    QRect target(QPoint(0, 0), picture.deviceIndependentSize().toSize());
    target.moveCenter(inside.center());
    if (isDown() || isChecked()) target.translate(1, 1);
    painter.setClipRect(inside);
    painter.drawPixmap(target.topLeft(), picture);
  }
};

QFont FontOf(const FontSpec& spec) { return DesignFont(*spec.face, spec.points, spec.bold, spec.italic); }

void SetFont(QWidget* widget, const FontSpec& spec) {
  if (spec.face) widget->setFont(FontOf(spec));
}

// Keeps the designed place; grows only where the substitute face is wider
// than the design's, so that no caption is cut off.
void PlaceLabel(QLabel* label, Qt::Alignment horizontal, Twips r) {
  label->setAlignment(horizontal | Qt::AlignTop);
  label->setMargin(0);
  label->setIndent(0);
  Put(label, r);
  const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text());
  if (needed > label->width()) {
    const int extra = needed - label->width();
    const int left = horizontal == Qt::AlignRight     ? label->x() - extra
                     : horizontal == Qt::AlignHCenter ? label->x() - extra / 2
                                                      : label->x();
    label->setGeometry(left, label->y(), needed, label->height());
  }
}

QLabel* MakeLabel(QWidget* parent, const QString& caption, const QFont& font, Qt::Alignment horizontal, Twips r) {
  auto* label = new QLabel(caption, parent);
  label->setFont(font);
  PlaceLabel(label, horizontal, r);
  return label;
}

// For captions whose substitute face is also taller than the design's line,
// so that descenders and underscores are not cut off: the label grows
// downwards, its top and left stay where the design puts them.
void GrowToLineHeight(QLabel* label) {
  const QFontMetrics metrics(label->font());
  const QRect ink = metrics.tightBoundingRect(label->text());  // relative to the baseline
  const int needed = std::max(metrics.height(), metrics.ascent() + ink.bottom() + 1);
  if (needed > label->height()) label->resize(label->width(), needed);
}

// A caption that would run into the control at its right (the Intensity
// slider) is set a little tighter, so that a gap stays between them.
void KeepClearOf(QLabel* label, int rightNeighbourX, int gap) {
  const int room = rightNeighbourX - gap - label->x();
  const QString text = label->text();
  QFont font = label->font();
  for (int step = 1; QFontMetrics(font).horizontalAdvance(text) > room && step <= 10; ++step) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.1 * step);
  }
  label->setFont(font);
  label->resize(std::min(QFontMetrics(font).horizontalAdvance(text), room), label->height());
}

QLineEdit* MakeTextBox(QWidget* parent, const QString& text, Twips r) {
  auto* box = new QLineEdit(parent);
  box->setFont(DefaultFont());  // never the bold italic of the frame it sits in
  SetBoxText(box, text);
  Put(box, r);
  return box;
}

// The text part of the preset list. A combo box picks the entry whose name
// was typed when its text is left or Return is pressed, and puts the entry's
// spelling in place of the typed one; a typed name is what S saves under, so
// neither may reach the combo box.
class PresetNameEdit : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void focusOutEvent(QFocusEvent* event) override {
    const QSignalBlocker quiet(this);
    QLineEdit::focusOutEvent(event);
  }
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return QLineEdit::keyPressEvent(event);
    const QSignalBlocker quiet(this);
    QLineEdit::keyPressEvent(event);
  }
};

// The preset list: an entry is picked in the open list or by Up and Down.
// The wheel does not pick, so that a turn of it over the box cannot replace
// the coefficients the user has typed.
class PresetBox : public QComboBox {
 public:
  using QComboBox::QComboBox;

 protected:
  void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

QComboBox* MakePresetList(QWidget* parent, const QString& text, const FontSpec& font) {
  auto* combo = new PresetBox(parent);
  SetFont(combo, font);  // before the line edit, which takes it
  combo->setLineEdit(new PresetNameEdit(combo));
  // No inline completion: a typed "Good" must stay "Good", not become "Good1".
  combo->setCompleter(nullptr);
  combo->setInsertPolicy(QComboBox::NoInsert);
  SetBoxText(combo->lineEdit(), text);
  return combo;
}

QPushButton* MakeButton(QWidget* parent, const ControlRow& row) {
  auto* button = row.icon ? new PictureButton(parent) : new QPushButton(QString::fromUtf8(row.caption), parent);
  button->setAutoDefault(false);
  if (row.icon) {
    button->setIcon(QIcon(row.icon()));
    button->setIconSize(QSize(32, 32));
  }
  return button;
}

PictureBox* MakePicture(QWidget* parent, const ControlRow& row) {
  auto* picture = new PictureBox(parent, row.bordered);
  picture->setFocusPolicy(Qt::StrongFocus);
  return picture;
}

// Its back colour once placed: the picture is cleared to it at once, so that a
// swatch shows its colour before any event.
void PaintGround(PictureBox* picture, QRgb back, QWidget* parent) {
  picture->SetBackColor(back == ContainerGround ? parent->palette().color(QPalette::Window).rgb() & 0xFFFFFF : back);
  picture->Cls();
}

QSlider* MakeSlider(QWidget* parent, const ControlRow& row) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setRange(0, row.maximum);
  slider->setSingleStep(1);
  slider->setPageStep(row.largeStep);
  slider->setValue(row.value);
  return slider;
}

// Only the checked option of the pair takes the focus from Tab; Qt keeps this
// up once an option has had the focus, at start it needs the hint.
QRadioButton* MakeOption(QWidget* parent, const ControlRow& row) {
  auto* option = new QRadioButton(QString::fromUtf8(row.caption), parent);
  option->setAutoExclusive(true);
  option->setChecked(row.checked);
  if (!row.checked) option->setFocusPolicy(Qt::ClickFocus);
  return option;
}

// A one-pixel line from (x1, y) to (x2, y) in twips; like a drawn line it
// stops short of its end point.
QFrame* MakeHorizontalLine(QWidget* parent, int x1, int x2, int y, const QColor& color) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::NoFrame);
  FillBackground(line, color);
  line->setGeometry(Px(x1), Px(y), Px(x2) - Px(x1), 1);
  return line;
}

// One row's control, made, styled and placed in `parent`; the groups are
// made by frmMain::BuildGroup.
QWidget* MakeControl(QWidget* parent, const ControlRow& row) {
  const QString caption = QString::fromUtf8(row.caption);
  QWidget* widget = nullptr;
  switch (row.kind) {
    case ControlKind::Frame: widget = new DesignFrame(caption, parent); break;
    case ControlKind::Label: widget = new QLabel(caption, parent); break;
    case ControlKind::Counter: widget = new CounterLabel(caption, parent); break;
    case ControlKind::TextBox: return MakeTextBox(parent, caption, row.place);
    case ControlKind::Button:
    case ControlKind::PictureButton: widget = MakeButton(parent, row); break;
    case ControlKind::Picture: widget = MakePicture(parent, row); break;
    case ControlKind::Slider: widget = MakeSlider(parent, row); break;
    case ControlKind::Option: widget = MakeOption(parent, row); break;
    case ControlKind::PresetList: {
      QComboBox* combo = MakePresetList(parent, caption, row.font);
      Put(combo, row.place);
      return combo;
    }
    case ControlKind::Line: {
      const Twips& r = row.place;
      return MakeHorizontalLine(parent, r.left, r.left + r.width, r.top, QColor::fromRgb(row.back));
    }
    default: return nullptr;
  }
  SetFont(widget, row.font);
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    PlaceLabel(label, row.align, row.place);
    if (row.growToLine) GrowToLineHeight(label);
  } else if (auto* picture = dynamic_cast<PictureBox*>(widget)) {
    picture->Place(Px(row.place.left), Px(row.place.top), Px(row.place.width), Px(row.place.height));
    PaintGround(picture, row.back, parent);
  } else {
    Put(widget, row.place);
  }
  if (row.hidden) widget->setVisible(false);
  return widget;
}

struct EquationLabel {
  const char* caption;
  Twips place;
  enum Look { Sign, Variable, Partial, Denominator, Power } look;
  Qt::Alignment alignment;
};

// The captions of the two equations and of the limits line, by Label1 index.
constexpr EquationLabel EquationLabels[30] = {
    {"=", {720, 465, 135, 255}, EquationLabel::Sign, Qt::AlignLeft},
    {"=", {720, 1065, 135, 255}, EquationLabel::Sign, Qt::AlignLeft},
    {"u", {1575, 450, 195, 285}, EquationLabel::Variable, Qt::AlignHCenter},
    {"v", {2415, 450, 165, 285}, EquationLabel::Variable, Qt::AlignHCenter},
    {"-", {3240, 480, 255, 255}, EquationLabel::Sign, Qt::AlignRight},
    {"∂", {240, 375, 195, 195}, EquationLabel::Partial, Qt::AlignLeft},
    {"u", {1575, 1050, 195, 285}, EquationLabel::Variable, Qt::AlignHCenter},
    {"v", {2415, 1030, 165, 285}, EquationLabel::Variable, Qt::AlignHCenter},
    {"u", {4110, 450, 195, 285}, EquationLabel::Variable, Qt::AlignHCenter},
    {"u", {450, 300, 195, 255}, EquationLabel::Variable, Qt::AlignLeft},
    {"u", {5460, 300, 195, 255}, EquationLabel::Variable, Qt::AlignLeft},
    {"v", {450, 900, 195, 255}, EquationLabel::Variable, Qt::AlignLeft},
    {"v", {5460, 900, 195, 255}, EquationLabel::Variable, Qt::AlignLeft},
    {"∂", {240, 975, 195, 195}, EquationLabel::Partial, Qt::AlignLeft},
    {"∂", {5160, 375, 195, 195}, EquationLabel::Partial, Qt::AlignLeft},
    {"∂", {5160, 975, 195, 195}, EquationLabel::Partial, Qt::AlignLeft},
    {"∂", {240, 630, 195, 195}, EquationLabel::Partial, Qt::AlignLeft},
    {"∂", {240, 1230, 195, 195}, EquationLabel::Partial, Qt::AlignLeft},
    {"t", {450, 555, 150, 255}, EquationLabel::Denominator, Qt::AlignLeft},
    {"t", {450, 1170, 150, 255}, EquationLabel::Denominator, Qt::AlignLeft},
    {"∂", {5160, 630, 195, 195}, EquationLabel::Partial, Qt::AlignLeft},
    {"∂", {5160, 1230, 195, 195}, EquationLabel::Partial, Qt::AlignLeft},
    {"x", {5370, 570, 195, 255}, EquationLabel::Denominator, Qt::AlignLeft},
    {"x", {5370, 1170, 195, 255}, EquationLabel::Denominator, Qt::AlignLeft},
    {"2", {5340, 240, 150, 195}, EquationLabel::Power, Qt::AlignLeft},
    {"2", {5520, 555, 150, 195}, EquationLabel::Power, Qt::AlignLeft},
    {"2", {5340, 825, 150, 195}, EquationLabel::Power, Qt::AlignLeft},
    {"2", {5520, 1155, 150, 195}, EquationLabel::Power, Qt::AlignLeft},
    {"synU_max=", {240, 1700, 1035, 195}, EquationLabel::Partial, Qt::AlignLeft},
    {"synV_max=", {1920, 1700, 1035, 195}, EquationLabel::Partial, Qt::AlignLeft},
};

QFont EquationFont(EquationLabel::Look look) {
  switch (look) {
    case EquationLabel::Sign: return DesignFont(GothicFace, 12, true);
    case EquationLabel::Variable: return DesignFont(GothicFace, 14.25, true, true);
    case EquationLabel::Partial: return DesignFont(GothicFace, 9.75, true, true);
    case EquationLabel::Denominator: return DesignFont(CenturyFace, 11.25, true, true);
    case EquationLabel::Power: return DesignFont(CenturyFace, 8.25, true, true);
  }
  return DefaultFont();
}

// The system colour of scroll bars, the ground of the equations.
const QColor EquationGround(200, 200, 200);

// The fraction bars of the equations: x1, x2 and y in twips.
constexpr int FractionBars[4][3] = {{240, 650, 585}, {240, 650, 1185}, {5160, 5710, 585}, {5160, 5710, 1185}};

const QString ReadAtIntake = QStringLiteral("<br>Read at the next Start, Stop, Clear or click on the phase plane.");

QString Rich(const QString& text) { return QStringLiteral("<p>") + text + QStringLiteral("</p>"); }

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
  BuildLayout();
  ConnectEvents();
  NameForScreenReaders(*this);
}

// The time series window watches the session, which goes before the
// widgets do.
// The analysis windows read the session: they go before it does.
frmMain::~frmMain() {
  delete frmTimeSeries;
  delete frmField;
}

void frmMain::BuildLayout() {
  setWindowTitle(QStringLiteral("Reaction-Diffusion simulator"));
  setWindowIcon(WindowIcon());
  setFont(DefaultFont());
  BuildMenus();

  auto* client = new QWidget(this);
  client->setFixedSize(537, 337);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  for (const ControlRow& row : ControlRows()) {
    QWidget* parent = ContainerWidget(*this, row.in);
    if (QWidget* widget = MakeControl(parent, row)) {
      row.slot.store(*this, widget);
    } else {
      BuildGroup(row.kind, parent);
    }
  }
  KeepClearOf(Label8[1], Slider2->x(), 2);

  NameBoxes();
  SetToolTips();
  SetTabOrder();
}

void frmMain::BuildGroup(ControlKind kind, QWidget* parent) {
  if (kind == ControlKind::EquationCaptions) {
    for (int i = 0; i < 30; ++i) {
      const EquationLabel& e = EquationLabels[i];
      Label1[i] = MakeLabel(parent, QString::fromUtf8(e.caption), EquationFont(e.look), e.alignment, e.place);
      FillBackground(Label1[i], EquationGround);
    }
    // The limits line's captions.
    GrowToLineHeight(Label1[28]);
    GrowToLineHeight(Label1[29]);
  } else if (kind == ControlKind::CoefficientBoxes) {
    for (int k = 0; k < CoefficientCount; ++k) {
      const auto i = static_cast<std::size_t>(k);
      Text1[k] = MakeTextBox(parent, QString::fromUtf8(Coefficients[i].designText), CoefficientBoxes()[i].place);
    }
  } else if (kind == ControlKind::FractionBars) {
    for (int i = 0; i < 4; ++i) {
      Line1[i] = MakeHorizontalLine(parent, FractionBars[i][0], FractionBars[i][1], FractionBars[i][2], Qt::black);
    }
  }
}

// The menus stay in the window on every desktop, so the window's height is
// always the menu bar plus the designed client area.
void frmMain::BuildMenus() {
  menuBar()->setNativeMenuBar(false);
  for (const MenuRow& row : MenuRows()) {
    this->*row.menu = menuBar()->addMenu(QString::fromUtf8(row.title));
    (this->*row.menu)->setObjectName(QString::fromLatin1(row.name));
  }
  AddMenuItems(false);
  AddSpeedItems();
}

void frmMain::AddMenuItems(bool atLoad) {
  for (const MenuItemRow& item : MenuItemRows()) {
    if (item.atLoad != atLoad) continue;
    QMenu* menu = this->*item.menu;
    if (item.separatorBefore) menu->addSeparator();
    QAction* action = menu->addAction(QString::fromUtf8(item.text));
    action->setObjectName(QString::fromLatin1(item.name));
    if (item.keys) {
      action->setShortcut(QKeySequence(QString::fromLatin1(item.keys)));
    } else if (item.key != QKeySequence::UnknownKey) {
      action->setShortcut(item.key);
    }
    // A menu item's status tip is what a screen reader gives as its
    // description; a status bar would take it too.
    const QString description = QString::fromUtf8(item.description);
    action->setToolTip(description);
    action->setStatusTip(description);
    action->setWhatsThis(description);
    connect(action, &QAction::triggered, this, item.handler);
    this->*item.action = action;
  }
}

// The speed limit: painting shows only when a run is slow enough to watch.
void frmMain::AddSpeedItems() {
  auto* speeds = new QActionGroup(mnuRun);
  speeds->setExclusive(true);
  for (std::size_t i = 0; i < std::size(RunSpeeds); ++i) {
    const int perSecond = RunSpeeds[i];
    mnuSpeed[i] = mnuRun->addAction(perSecond == 0 ? QStringLiteral("Full speed")
                                                   : QStringLiteral("%1 steps per second").arg(perSecond));
    mnuSpeed[i]->setCheckable(true);
    mnuSpeed[i]->setStatusTip(perSecond == 0 ? QStringLiteral("Run as fast as the machine allows.")
                                             : QStringLiteral("Run at most %1 steps a second, so that painting "
                                                              "can be watched as it spreads.")
                                                   .arg(perSecond));
    speeds->addAction(mnuSpeed[i]);
  }
  mnuSpeed[0]->setChecked(true);
}

// The boxes carry their design names, by which an error finds the box to
// focus (RunError::box).
void frmMain::NameBoxes() {
  for (int k = 0; k < CoefficientCount; ++k) Text1[k]->setObjectName(QString::fromStdString(CoefficientControlName(k)));
  Text2->setObjectName(QString::fromLatin1(IterationsControlName));
  Text3->setObjectName(QString::fromLatin1(SizeControlName));
}

// A box's text is read at the next intake, which its tip says.
void frmMain::SetToolTips() {
  for (int k = 0; k < CoefficientCount; ++k) {
    Text1[k]->setToolTip(Rich(QString::fromUtf8(Coefficients[static_cast<std::size_t>(k)].tip) + ReadAtIntake));
  }
  for (const ControlRow& row : ControlRows()) {
    if (!row.tip) continue;
    const QString tip = QString::fromUtf8(row.tip);
    row.slot.get(*this)->setToolTip(Rich(row.kind == ControlKind::TextBox ? tip + ReadAtIntake : tip));
  }
}

void frmMain::SetTabOrder() {
  std::vector<std::pair<int, QWidget*>> stops;
  for (const ControlRow& row : ControlRows()) {
    if (row.tab >= 0) stops.emplace_back(row.tab, row.slot.get(*this));
  }
  for (int k = 0; k < CoefficientCount; ++k) stops.emplace_back(CoefficientBoxes()[std::size_t(k)].tab, Text1[k]);
  std::sort(stops.begin(), stops.end());
  for (std::size_t i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1].second, stops[i].second);
}

void frmMain::ConnectEvents() {
  connect(Run, &QPushButton::clicked, this, &frmMain::Run_Click);
  connect(mnuEdit, &QMenu::aboutToShow, this, &frmMain::mnuEdit_Show);
  // Closed, the menu leaves its items enabled, so that the keys always reach
  // the handlers, which do nothing when there is nothing to take back.
  connect(mnuEdit, &QMenu::aboutToHide, this, [this] {
    mnuUndo->setEnabled(true);
    mnuRedo->setEnabled(true);
  });
  connect(Random, &QPushButton::clicked, this, &frmMain::Random_Click);
  connect(Clear, &QPushButton::clicked, this, &frmMain::Clear_Click);
  connect(Spiral, &QPushButton::clicked, this, &frmMain::Spiral_Click);
  connect(SavePar, &QPushButton::clicked, this, &frmMain::SavePar_Click);
  for (int i = 0; i < 2; ++i) {
    connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool checked) {
      if (checked) Option1_Click(i);
    });
    connect(Picture6[i], &PictureBox::Click, this, [this, i] { Picture6_Click(i); });
  }
  connect(Combo1, &QComboBox::activated, this, &frmMain::Combo1_Click);
  for (int i = 0; i < int(std::size(mnuSpeed)); ++i) {
    connect(mnuSpeed[i], &QAction::triggered, this, [this, i] { mnuSpeed_Click(i); });
  }

  connect(Picture1, &PictureBox::MouseDown, this, &frmMain::Picture1_MouseDown);
  connect(Picture1, &PictureBox::MouseMove, this, &frmMain::Picture1_MouseMove);
  connect(Picture1, &PictureBox::MouseUp, this, &frmMain::Picture1_MouseUp);
  connect(Picture2, &PictureBox::MouseDown, this, &frmMain::Picture2_MouseDown);
  connect(Picture2, &PictureBox::MouseMove, this, &frmMain::Picture2_MouseMove);
  connect(Picture2, &PictureBox::MouseUp, this, &frmMain::Picture2_MouseUp);
  connect(Picture3, &PictureBox::MouseDown, this, &frmMain::Picture3_MouseDown);
  connect(Picture3, &PictureBox::MouseMove, this, &frmMain::Picture3_MouseMove);
  connect(Picture3, &PictureBox::MouseUp, this, &frmMain::Picture3_MouseUp);
  connect(Picture4, &PictureBox::MouseDown, this, &frmMain::Picture4_MouseDown);
  // A picture that loses the mouse to a dialog or a menu never sees the
  // release: its stroke ends as a release would end it.
  connect(Picture1, &PictureBox::MouseLost, this, [this] { Picture1_MouseUp(0, 0, 0, 0); });
  connect(Picture2, &PictureBox::MouseLost, this, [this] { Picture2_MouseUp(0, 0, 0, 0); });
  connect(Picture3, &PictureBox::MouseLost, this, [this] { Picture3_MouseUp(0, 0, 0, 0); });

  // sliderMoved comes before the value follows the thumb, so a handler would
  // read the old value: a drag reports Scroll, every other change Change, both
  // after the value is set.
  connect(Slider1, &QSlider::valueChanged, this,
          [this] { Slider1->isSliderDown() ? Slider1_Scroll() : Slider1_Change(); });
  connect(Slider2, &QSlider::valueChanged, this,
          [this] { Slider2->isSliderDown() ? Slider2_Scroll() : Slider2_Change(); });
}

}  // namespace rdsim

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

#include "core/parameter_intake.h"
#include "run/run_control.h"
#include "ui/accessibility.h"
#include "ui/box_text.h"
#include "ui/counter_label.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/icons.h"
#include "ui/picture_box.h"

namespace rdsim {

namespace {

// The layout is kept in the design's twips; 15 twips make one pixel.
// Twips are whole numbers, so the rounding never meets a tie.
constexpr int Px(int twips) { return (twips + 7) / 15; }

struct Twips {
  int left, top, width, height;
};

void Put(QWidget* widget, Twips r) { widget->setGeometry(Px(r.left), Px(r.top), Px(r.width), Px(r.height)); }

void PutPicture(PictureBox* picture, Twips r) { picture->Place(Px(r.left), Px(r.top), Px(r.width), Px(r.height)); }

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

QGroupBox* MakeFrame(QWidget* parent, const QString& title, const QFont& font, Twips r) {
  auto* frame = new DesignFrame(title, parent);
  frame->setFont(font);
  Put(frame, r);
  return frame;
}

// Keeps the designed place; grows only where the substitute face is wider
// than the design's, so that no caption is cut off.
QLabel* MakeLabel(QWidget* parent, const QString& caption, const QFont& font, Qt::Alignment horizontal, Twips r) {
  auto* label = new QLabel(caption, parent);
  label->setFont(font);
  label->setAlignment(horizontal | Qt::AlignTop);
  label->setMargin(0);
  label->setIndent(0);
  Put(label, r);
  const int needed = QFontMetrics(font).horizontalAdvance(caption);
  if (needed > label->width()) {
    const int extra = needed - label->width();
    const int left = horizontal == Qt::AlignRight     ? label->x() - extra
                     : horizontal == Qt::AlignHCenter ? label->x() - extra / 2
                                                      : label->x();
    label->setGeometry(left, label->y(), needed, label->height());
  }
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
  box->setFont(DefaultFont());
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

QPushButton* MakeButton(QWidget* parent, const QString& caption, const QFont& font, Twips r) {
  auto* button = new QPushButton(caption, parent);
  button->setFont(font);
  button->setAutoDefault(false);
  Put(button, r);
  return button;
}

PictureBox* MakePicture(QWidget* parent, bool bordered, QRgb backColor, Twips r) {
  auto* picture = new PictureBox(parent, bordered);
  picture->setFont(DefaultFont());
  picture->setFocusPolicy(Qt::StrongFocus);
  PutPicture(picture, r);
  picture->SetBackColor(backColor);
  picture->Cls();
  return picture;
}

QSlider* MakeSlider(QWidget* parent, int maximum, int value, int largeStep, Twips r) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setRange(0, maximum);
  slider->setSingleStep(1);
  slider->setPageStep(largeStep);
  slider->setValue(value);
  Put(slider, r);
  return slider;
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

// Text1 by index: k7 and k8 sit at the end of their equations, after the
// reaction terms.
constexpr Twips CoefficientBoxPlaces[CoefficientCount] = {
    {960, 480, 615, 270},   {1800, 480, 615, 270},  {2640, 480, 615, 270},  {3480, 480, 615, 270},
    {960, 1080, 615, 270},  {1800, 1080, 615, 270}, {2640, 1080, 615, 270}, {4440, 480, 615, 270},
    {4440, 1080, 615, 270}, {1320, 1680, 495, 270}, {3000, 1680, 495, 270},
};

// The system colour of scroll bars, the ground of the equations.
const QColor EquationGround(200, 200, 200);

}  // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
  BuildLayout();
  ConnectEvents();
  NameForScreenReaders(*this);
}

frmMain::~frmMain() = default;

void frmMain::BuildLayout() {
  setWindowTitle(QStringLiteral("Reaction-Diffusion simulator"));
  setWindowIcon(WindowIcon());
  setFont(DefaultFont());

  // The menu stays in the window on every desktop, so the window's height is
  // always the menu bar plus the designed client area.
  menuBar()->setNativeMenuBar(false);
  mnuFile = menuBar()->addMenu(QStringLiteral("File"));
  mnuFile->setObjectName(QStringLiteral("mnuFile"));
  mnuSaveAs = mnuFile->addAction(QStringLiteral("Save As"));
  mnuSaveAs->setObjectName(QStringLiteral("mnuSaveAs"));
  // A menu item's status tip is what a screen reader gives as its description.
  mnuSaveAs->setStatusTip(
      QStringLiteral("Save the pictures of the current mode as bitmaps in the working folder: "
                     "Activator_1D.bmp and Inhibitor_1D.bmp, or 2D.bmp."));
  // The speed limit: painting shows only when a run is slow enough to watch.
  mnuRun = menuBar()->addMenu(QStringLiteral("Run"));
  mnuRun->setObjectName(QStringLiteral("mnuRun"));
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

  auto* client = new QWidget(this);
  client->setFixedSize(537, 337);
  setCentralWidget(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  const QFont frameFont = DesignFont(CenturyFace, 9, true, true);

  // Brush tools.
  Frame3 = MakeFrame(client, QString(), DefaultFont(), {360, 240, 1935, 1695});
  Spiral = new PictureButton(Frame3);
  Spiral->setFont(DefaultFont());
  Spiral->setAutoDefault(false);
  Put(Spiral, {240, 360, 495, 495});
  Spiral->setIcon(QIcon(SpiralPicture()));
  Spiral->setIconSize(QSize(32, 32));
  Picture6[0] = MakePicture(Frame3, true, 0xFF0000, {840, 360, 255, 250});
  Picture6[1] = MakePicture(Frame3, true, 0x000080, {840, 600, 255, 250});
  // The preview has no colour of its own: it shows on the frame's ground.
  Picture5 =
      MakePicture(Frame3, false, Frame3->palette().color(QPalette::Window).rgb() & 0xFFFFFF, {1320, 415, 375, 375});
  const QFont smallGothic = DesignFont(GothicFace, 8.25);
  Label8[0] = MakeLabel(Frame3, QStringLiteral("Radius"), smallGothic, Qt::AlignLeft, {195, 1080, 450, 165});
  Slider1 = MakeSlider(Frame3, 12, 7, 5, {840, 1080, 975, 255});
  Label8[1] = MakeLabel(Frame3, QStringLiteral("Intensity"), smallGothic, Qt::AlignLeft, {195, 1320, 615, 165});
  GrowToLineHeight(Label8[1]);
  Slider2 = MakeSlider(Frame3, 255, 255, 50, {840, 1320, 975, 255});
  KeepClearOf(Label8[1], Slider2->x(), 2);
  Frame3->setVisible(false);

  // Mode switch.
  Frame2 = MakeFrame(client, QString(), frameFont, {360, 1920, 1935, 615});
  const QFont optionFont = DesignFont(GothicFace, 9, true);
  Option1[0] = new QRadioButton(QStringLiteral("1D"), Frame2);
  Option1[1] = new QRadioButton(QStringLiteral("2D"), Frame2);
  Put(Option1[0], {240, 240, 735, 255});
  Put(Option1[1], {1080, 240, 735, 255});
  for (QRadioButton* option : Option1) {
    option->setFont(optionFont);
    option->setAutoExclusive(true);
  }
  Option1[0]->setChecked(true);
  // The pair is one tab stop, and Tab lands on the selected option. Qt keeps
  // this up once an option has had the focus; at start it needs the hint.
  Option1[1]->setFocusPolicy(Qt::ClickFocus);

  // Oscillator: the two equations, the limits, the presets and the phase plane.
  Frame1 = MakeFrame(client, QStringLiteral("Oscillator"), frameFont, {120, 2760, 7815, 2175});
  for (int i = 0; i < 30; ++i) {
    const EquationLabel& e = EquationLabels[i];
    Label1[i] = MakeLabel(Frame1, QString::fromUtf8(e.caption), EquationFont(e.look), e.alignment, e.place);
    FillBackground(Label1[i], EquationGround);
  }
  GrowToLineHeight(Label1[28]);
  GrowToLineHeight(Label1[29]);
  for (int i = 0; i < CoefficientCount; ++i) {
    Text1[i] = MakeTextBox(Frame1, QString::fromUtf8(Coefficients[static_cast<std::size_t>(i)].designText),
                           CoefficientBoxPlaces[i]);
  }
  Combo1 = new PresetBox(Frame1);
  Combo1->setFont(DefaultFont());
  Combo1->setLineEdit(new PresetNameEdit(Combo1));
  // No inline completion: a typed "Good" must stay "Good", not become "Good1".
  Combo1->setCompleter(nullptr);
  Combo1->setInsertPolicy(QComboBox::NoInsert);
  SetBoxText(Combo1->lineEdit(), QStringLiteral("Combo1"));
  Put(Combo1, {3720, 1680, 1695, 300});
  SavePar = MakeButton(Frame1, QStringLiteral("S"), DesignFont(CenturyFace, 9, true), {5400, 1680, 300, 300});
  Picture4 = MakePicture(Frame1, true, 0xE0E0E0, {5880, 240, 1815, 1815});
  Line1[0] = MakeHorizontalLine(Frame1, 240, 650, 585, Qt::black);
  Line1[1] = MakeHorizontalLine(Frame1, 240, 650, 1185, Qt::black);
  Line1[2] = MakeHorizontalLine(Frame1, 5160, 5710, 585, Qt::black);
  Line1[3] = MakeHorizontalLine(Frame1, 5160, 5710, 1185, Qt::black);

  // Plots: the two profiles, or the field in the same square.
  Picture1 = MakePicture(client, true, 0xFFFFFF, {2835, 660, 1980, 990});
  Picture2 = MakePicture(client, true, 0xFFFFFF, {2835, 1650, 1980, 990});
  Picture3 = MakePicture(client, true, 0x000000, {2835, 660, 1980, 1980});
  Picture3->setVisible(false);

  // Size, counter and run controls.
  const QFont arial9 = DesignFont(ArialFace, 9);
  const QFont arial975 = DesignFont(ArialFace, 9.75);
  Label4 = MakeLabel(client, QStringLiteral("Field Size ="), arial9, Qt::AlignHCenter, {2880, 240, 1335, 255});
  Text3 = MakeTextBox(client, QStringLiteral("128"), {4200, 240, 375, 270});
  Label2 = new CounterLabel(QStringLiteral("0"), client);
  Label2->setFont(DesignFont(ArialFace, 9.75, true));
  Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
  Put(Label2, {5520, 240, 1215, 255});
  Label5 = MakeLabel(client, QStringLiteral("Iteration"), arial975, Qt::AlignHCenter, {6720, 240, 975, 255});
  Text2 = MakeTextBox(client, QStringLiteral("20"), {5520, 720, 495, 270});
  Label3 = MakeLabel(client, QStringLiteral("Iteration / Image"), arial975, Qt::AlignHCenter, {6120, 720, 1575, 255});
  Run = MakeButton(client, QStringLiteral("Start"), DesignFont(ArialBlackFace, 24), {5280, 1200, 2415, 855});
  const QFont arial12Bold = DesignFont(ArialFace, 12, true);
  Random = MakeButton(client, QStringLiteral("Random"), arial12Bold, {5280, 2040, 1215, 495});
  Clear = MakeButton(client, QStringLiteral("Clear"), arial12Bold, {6480, 2040, 1215, 495});

  Line2 = MakeHorizontalLine(client, 0, 8040, 0, QColor(128, 128, 128));

  // After the designed menus: the client area does not move.
  mnuAnalysis = menuBar()->addMenu(QStringLiteral("&Analysis"));
  mnuAnalysis->setObjectName(QStringLiteral("mnuAnalysis"));
  mnuStability = mnuAnalysis->addAction(QStringLiteral("&Linear Stability…"));
  mnuStability->setObjectName(QStringLiteral("mnuStability"));
  mnuStability->setStatusTip(
      QStringLiteral("Open a window that shows which wavelengths grow from the uniform state "
                     "of the coefficients in the boxes, and how fast."));

  NameBoxes();
  SetToolTips();

  QWidget* const tabOrder[] = {
      Random,   Picture3,  Run,      Clear,    Slider2,  Slider1,    Picture6[1], Picture6[0], Picture5, SavePar,
      Combo1,   Text1[10], Text1[9], Text1[8], Text1[7], Text1[6],   Text1[5],    Text1[4],    Text1[3], Text1[2],
      Text1[1], Text1[0],  Picture4, Text2,    Text3,    Option1[1], Option1[0],  Picture1,    Picture2, Spiral,
  };
  for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
    QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
  }
}

// The boxes carry their design names, by which an error finds the box to
// focus (RunError::box).
void frmMain::NameBoxes() {
  for (int k = 0; k < CoefficientCount; ++k) Text1[k]->setObjectName(QString::fromStdString(CoefficientControlName(k)));
  Text2->setObjectName(QString::fromLatin1(IterationsControlName));
  Text3->setObjectName(QString::fromLatin1(SizeControlName));
}

void frmMain::SetToolTips() {
  const QString readAt = QStringLiteral("<br>Read at the next Start, Stop, Clear or click on the phase plane.");
  const auto rich = [](const QString& text) { return QStringLiteral("<p>") + text + QStringLiteral("</p>"); };
  for (int k = 0; k < CoefficientCount; ++k) {
    Text1[k]->setToolTip(rich(QString::fromUtf8(Coefficients[static_cast<std::size_t>(k)].tip) + readAt));
  }
  Text3->setToolTip(rich(QStringLiteral("Field size N: the cells of the line (1D) or of each side of the square "
                                        "(2D), 2 to 128.") +
                         readAt));
  Text2->setToolTip(rich(QStringLiteral("Iterations per image: during a run the picture is redrawn every this "
                                        "many steps.") +
                         readAt));
  Picture1->setToolTip(
      rich(QStringLiteral("The activator u, one red bar per cell. Press and drag with the left "
                          "button to draw the activator's profile.")));
  Picture2->setToolTip(
      rich(QStringLiteral("The inhibitor v, one blue bar per cell. Press and drag with the left "
                          "button to draw the inhibitor's profile.")));
  Picture3->setToolTip(
      rich(QStringLiteral("The activator field, black 0 to white 10. Press and drag with the left "
                          "button to paint discs of the brush's species into it.")));
  Picture4->setToolTip(
      rich(QStringLiteral("Phase plane of one cell without diffusion. Click a point (u, v) to draw "
                          "the nullclines and the cell's path from there.")));
  Picture5->setToolTip(rich(QStringLiteral("The brush: its radius, intensity and species.")));
  Picture6[0]->setToolTip(rich(QStringLiteral("Brush on the activator (red). Click, or press Space, to choose it.")));
  Picture6[1]->setToolTip(rich(QStringLiteral("Brush on the inhibitor (blue). Click, or press Space, to choose it.")));
  Slider1->setToolTip(rich(QStringLiteral("Brush radius, 0 to 12 cells.")));
  Slider2->setToolTip(
      rich(QStringLiteral("Brush intensity, 0 to 255: the value a disc writes, from 0 up to 10 at 255.")));
  Spiral->setToolTip(rich(QStringLiteral("Stamp the brush along a one-turn spiral into the field.")));
  Run->setToolTip(rich(QStringLiteral("Start the run; press again to stop it.")));
  Random->setToolTip(rich(QStringLiteral("Fill the field with random values.")));
  Clear->setToolTip(rich(QStringLiteral("Read the boxes and set the whole field to zero.")));
  Combo1->setToolTip(
      rich(QStringLiteral("Presets: pick one from the list to put its coefficients into the boxes. "
                          "A name typed here is the name S saves under; it loads nothing.")));
  SavePar->setToolTip(rich(QStringLiteral("Save the coefficients as a new preset.")));
}

void frmMain::ConnectEvents() {
  connect(Run, &QPushButton::clicked, this, &frmMain::Run_Click);
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
  connect(mnuSaveAs, &QAction::triggered, this, &frmMain::mnuSaveAs_Click);
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
  connect(mnuStability, &QAction::triggered, this, &frmMain::mnuStability_Click);
}

}  // namespace rdsim

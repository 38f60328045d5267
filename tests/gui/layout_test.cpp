#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSignalBlocker>
#include <QSlider>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "ui/control_table.h"
#include "ui/counter_label.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

using rdsim::frmMain;

namespace {

using rdsim::ControlRow;

QString Describe(const char* name, const QWidget* w) {
  return QStringLiteral("%1 at (%2,%3 %4x%5) in %6")
      .arg(QString::fromLatin1(name))
      .arg(w->x())
      .arg(w->y())
      .arg(w->width())
      .arg(w->height())
      .arg(w->parentWidget() ? w->parentWidget()->metaObject()->className() : "nothing");
}

// The focus as the user sees it: an editable combo box hands it to its line edit.
QWidget* FocusOwner() {
  QWidget* w = QApplication::focusWidget();
  if (w && qobject_cast<QComboBox*>(w->parentWidget()) && w->focusProxy() == w->parentWidget()) {
    return w->parentWidget();
  }
  return w;
}

}  // namespace

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { rdsim::InstallFontSubstitutions(); }
  void init() { form_ = std::make_unique<frmMain>(); }
  void cleanup() { form_.reset(); }

  void windowHasDesignedClientAreaMenuAndCaption();
  void startsInOneDimensionalMode();
  void profilePicturesTileTheFieldSquare();
  void controlsSitAtDesignedPlacesInTheirContainers();
  void framesHoldTheirChildrenWhole();
  void controlsStartWithDesignSettings();
  void designFacesResolveToInstalledSubstitutes();
  void captionsFitTheirControls();
  void tabVisitsEveryControlInDesignedOrder();
  void tabSkipsHiddenControls();
  void tableNamesAndTabStopsAreWhole();

 private:
  void ShowAndActivate();
  std::vector<QWidget*> TabStops() const;
  std::vector<QWidget*> VisibleStops() const;
  std::vector<QWidget*> TabFrom(QWidget* first, int presses);

  std::unique_ptr<frmMain> form_;
};

void LayoutTest::ShowAndActivate() {
  form_->show();
  QApplication::setActiveWindow(form_.get());
  QVERIFY(QTest::qWaitForWindowActive(form_.get()));
}

// The table's tab order, boxes included.
std::vector<QWidget*> LayoutTest::TabStops() const {
  std::vector<std::pair<int, QWidget*>> stops;
  for (const ControlRow& row : rdsim::ControlRows())
    if (row.tab >= 0) stops.emplace_back(row.tab, row.slot.get(*form_));
  for (int k = 0; k < rdsim::CoefficientCount; ++k)
    stops.emplace_back(rdsim::CoefficientBoxes()[std::size_t(k)].tab, form_->Text1[k]);
  std::sort(stops.begin(), stops.end());
  std::vector<QWidget*> widgets;
  for (std::size_t i = 0; i < stops.size(); ++i) {
    if (stops[i].first != int(i)) return {};
    widgets.push_back(stops[i].second);
  }
  return widgets;
}

// What Tab visits in turn, round to the first again: the shown stops, an
// option only when checked.
std::vector<QWidget*> LayoutTest::VisibleStops() const {
  std::vector<QWidget*> visited;
  for (QWidget* w : TabStops()) {
    auto* option = qobject_cast<QRadioButton*>(w);
    if (w->isVisible() && (!option || option->isChecked())) visited.push_back(w);
  }
  if (!visited.empty()) visited.push_back(visited.front());
  return visited;
}

std::vector<QWidget*> LayoutTest::TabFrom(QWidget* first, int presses) {
  first->setFocus(Qt::TabFocusReason);
  std::vector<QWidget*> visited{FocusOwner()};
  for (int i = 0; i < presses; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(FocusOwner());
  }
  return visited;
}

void LayoutTest::windowHasDesignedClientAreaMenuAndCaption() {
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));

  QCOMPARE(form_->windowTitle(), QStringLiteral("Reaction-Diffusion simulator"));
  QCOMPARE(form_->centralWidget()->size(), QSize(537, 337));
  // The client area starts right under the menu bar and fills the rest.
  QCOMPARE(form_->centralWidget()->y(), form_->menuBar()->geometry().bottom() + 1);
  QCOMPARE(form_->height(), form_->menuBar()->height() + 337);
  QCOMPARE(form_->width(), 537);
  QCOMPARE(form_->minimumSize(), form_->maximumSize());

  // File as designed first, the Run menu's speed limits, then Analysis, Edit,
  // View and Help, all on the bar's one line.
  const QList<QMenu*> bar = {form_->mnuFile, form_->mnuRun,  form_->mnuAnalysis,
                             form_->mnuEdit, form_->mnuView, form_->mnuHelp};
  QCOMPARE(form_->menuBar()->actions().size(), bar.size());
  for (int i = 0; i < bar.size(); ++i) {
    QCOMPARE(form_->menuBar()->actions().at(i), bar[i]->menuAction());
    QCOMPARE(form_->menuBar()->actionGeometry(bar[i]->menuAction()).top(), 0);
  }
  QCOMPARE(form_->mnuFile->title(), QStringLiteral("File"));
  QCOMPARE(form_->mnuFile->actions().size(), 1);
  QCOMPARE(form_->mnuFile->actions().front(), form_->mnuSaveAs);
  QCOMPARE(form_->mnuSaveAs->text(), QStringLiteral("Save As"));

  QVERIFY(form_->windowIcon().availableSizes().contains(QSize(32, 32)));
}

void LayoutTest::startsInOneDimensionalMode() {
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_.get()));

  QVERIFY(form_->Picture1->isVisible());
  QVERIFY(form_->Picture2->isVisible());
  QVERIFY(!form_->Picture3->isVisible());
  QVERIFY(!form_->Frame3->isVisible());
  QVERIFY(form_->Frame2->isVisible());
  QVERIFY(form_->Option1[0]->isChecked());
  QVERIFY(!form_->Option1[1]->isChecked());

  // One exclusive pair: choosing 2D releases 1D. Signals are blocked so the
  // mode switch itself does not run on an unloaded window.
  const QSignalBlocker block0(form_->Option1[0]);
  const QSignalBlocker block1(form_->Option1[1]);
  form_->Option1[1]->setChecked(true);
  QVERIFY(!form_->Option1[0]->isChecked());
  form_->Option1[0]->setChecked(true);
  QVERIFY(!form_->Option1[1]->isChecked());
}

void LayoutTest::profilePicturesTileTheFieldSquare() {
  const QRect top = form_->Picture1->geometry();
  const QRect bottom = form_->Picture2->geometry();
  const QRect field = form_->Picture3->geometry();
  QCOMPARE(field, QRect(189, 44, 132, 132));
  QCOMPARE(top.united(bottom), field);
  QCOMPARE(top.bottom() + 1, bottom.top());  // neither gap nor overlap
  QCOMPARE(top.height(), bottom.height());
  QCOMPARE(form_->Picture3->AreaWidth(), 128);
  QCOMPARE(form_->Picture3->AreaHeight(), 128);
  // A field of n cells keeps the square's centre: an odd n lands on a half
  // pixel, rounded to even.
  form_->ports.FitPictures(rdsim::Mode::TwoD, 5);
  QCOMPARE(form_->Picture3->geometry(), QRect(250, 106, 9, 9));
  form_->ports.FitPictures(rdsim::Mode::OneD, 5);
  QCOMPARE(form_->Picture1->geometry(), QRect(250, 44, 9, 66));

  // The brush preview is borderless: all of it is drawing area.
  QCOMPARE(form_->Picture5->size(), QSize(25, 25));
  QCOMPARE(form_->Picture5->AreaWidth(), 25);
  QCOMPARE(form_->Picture5->AreaHeight(), 25);
  QCOMPARE(form_->Picture5->ScaleWidth(), 25.0);
  QCOMPARE(form_->Picture5->ScaleHeight(), 25.0);
}

void LayoutTest::controlsSitAtDesignedPlacesInTheirContainers() {
  frmMain& f = *form_;
  for (const ControlRow& row : rdsim::ControlRows()) {
    if (!row.slot.get) continue;
    QWidget* w = row.slot.get(f);
    const QRect designed = row.place.Pixels();
    // A label may grow where its substitute face is wider or taller, never move up.
    const bool placed = qobject_cast<QLabel*>(w) ? w->y() == designed.y() && w->width() >= designed.width() &&
                                                       w->height() >= designed.height()
                                                 : w->geometry() == designed;
    QVERIFY2(w->parentWidget() == rdsim::ContainerWidget(f, row.in) && placed, qPrintable(Describe(row.name, w)));
  }
  for (int k = 0; k < rdsim::CoefficientCount; ++k) {
    QCOMPARE(f.Text1[k]->parentWidget(), f.Frame1);
    QCOMPARE(f.Text1[k]->geometry(), rdsim::CoefficientBoxes()[std::size_t(k)].place.Pixels());
  }
  // Twips to pixels, spot-checked where a rounding fault would show.
  QCOMPARE(f.Frame1->geometry(), QRect(8, 184, 521, 145));
  QCOMPARE(f.Combo1->geometry(), QRect(248, 112, 113, 20));
  QCOMPARE(f.Text1[10]->geometry(), QRect(200, 112, 33, 18));
  QCOMPARE(f.Label1[29]->geometry(), QRect(128, 113, 69, 14));  // grown to the substitute's line
  QCOMPARE(f.Line1[3]->geometry(), QRect(344, 79, 37, 1));
  QCOMPARE(f.Line2->geometry(), QRect(0, 0, 536, 1));
  // The brush captions are wider in the substitute face; they may only grow
  // to the right, towards the sliders, and stay clear of them.
  QCOMPARE(f.Label8[1]->pos(), QPoint(13, 88));
  QVERIFY(f.Label8[1]->geometry().right() + 2 < f.Slider2->x());
  QVERIFY(f.Label8[0]->geometry().right() < f.Slider1->x());
}

void LayoutTest::tableNamesAndTabStopsAreWhole() {
  frmMain& f = *form_;
  QSet<QString> names, spoken;
  for (const ControlRow& row : rdsim::ControlRows()) {
    QVERIFY2(!names.contains(QString::fromLatin1(row.name)), row.name);
    names << QString::fromLatin1(row.name);
    if (row.accessibleName) {
      QVERIFY2(!spoken.contains(QString::fromUtf8(row.accessibleName)), row.accessibleName);
      spoken << QString::fromUtf8(row.accessibleName);
    }
  }
  // The stops are 0, 1, 2, ... once each, and every control Tab can reach
  // has one.
  const std::vector<QWidget*> stops = TabStops();
  QSet<QWidget*> inOrder(stops.begin(), stops.end());
  QCOMPARE(inOrder.size(), qsizetype(stops.size()));
  QVERIFY(!inOrder.contains(nullptr));
  for (QWidget* w : f.centralWidget()->findChildren<QWidget*>()) {
    if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() || w->window() != &f) continue;
    QVERIFY2(inOrder.contains(w), w->metaObject()->className());
  }
}

void LayoutTest::framesHoldTheirChildrenWhole() {
  for (QGroupBox* frame : {form_->Frame1, form_->Frame2, form_->Frame3}) {
    for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      QVERIFY2(frame->rect().contains(child->geometry()),
               qPrintable(QStringLiteral("%1 child %2 sticks out")
                              .arg(frame->title(), QString::fromLatin1(child->metaObject()->className()))));
    }
  }
  // No layout may move what the design placed.
  QVERIFY(!form_->Frame1->layout());
  QVERIFY(!form_->centralWidget()->layout());
}

void LayoutTest::controlsStartWithDesignSettings() {
  frmMain& f = *form_;
  QCOMPARE(f.Slider1->orientation(), Qt::Horizontal);
  QCOMPARE(f.Slider1->minimum(), 0);
  QCOMPARE(f.Slider1->maximum(), 12);
  QCOMPARE(f.Slider1->value(), 7);
  QCOMPARE(f.Slider1->pageStep(), 5);
  QCOMPARE(f.Slider1->singleStep(), 1);
  QCOMPARE(f.Slider2->orientation(), Qt::Horizontal);
  QCOMPARE(f.Slider2->minimum(), 0);
  QCOMPARE(f.Slider2->maximum(), 255);
  QCOMPARE(f.Slider2->value(), 255);
  QCOMPARE(f.Slider2->pageStep(), 50);
  QCOMPARE(f.Slider2->singleStep(), 1);

  const char* coefficients[11] = {"0.08",  "-0.08", "0.04", "0.03", "0.06", "-0.03",
                                  "-0.15", "0.01",  "0.25", "0.2",  "0.5"};
  for (int k = 0; k < 11; ++k) QCOMPARE(f.Text1[k]->text(), QString::fromLatin1(coefficients[k]));
  QCOMPARE(f.Text2->text(), QStringLiteral("20"));
  QCOMPARE(f.Text3->text(), QStringLiteral("128"));

  QVERIFY(f.Combo1->isEditable());
  QCOMPARE(f.Combo1->insertPolicy(), QComboBox::NoInsert);
  QCOMPARE(f.Combo1->currentText(), QStringLiteral("Combo1"));

  QCOMPARE(f.Run->text(), QStringLiteral("Start"));
  QCOMPARE(f.SavePar->text(), QStringLiteral("S"));
  QVERIFY(f.Spiral->text().isEmpty());
  QCOMPARE(f.Spiral->iconSize(), QSize(32, 32));
  QVERIFY(!f.Spiral->icon().isNull());

  QCOMPARE(f.Picture1->BackColor() & 0xFFFFFF, 0xFFFFFFu);
  QCOMPARE(f.Picture3->BackColor() & 0xFFFFFF, 0x000000u);
  QCOMPARE(f.Picture4->BackColor() & 0xFFFFFF, 0xE0E0E0u);
  QCOMPARE(f.Picture6[0]->BackColor() & 0xFFFFFF, 0xFF0000u);
  QCOMPARE(f.Picture6[1]->BackColor() & 0xFFFFFF, 0x000080u);
  // Cleared at once, so the swatches show their colour before any event.
  QCOMPARE(f.Picture6[1]->GetPixel(2, 2), qint64{0x000080});

  QCOMPARE(f.Label1[5]->text(), QStringLiteral("∂"));
  QCOMPARE(f.Label1[28]->text(), QStringLiteral("synU_max="));
  QCOMPARE(f.Label1[4]->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  QCOMPARE(f.Label1[2]->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  QCOMPARE(f.Label2->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  QCOMPARE(f.Label3->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  for (QLabel* label : f.Label1) {
    QVERIFY(label->autoFillBackground());
    QCOMPARE(label->palette().color(label->backgroundRole()), QColor(200, 200, 200));
  }
  QCOMPARE(f.Line1[2]->palette().color(f.Line1[2]->backgroundRole()), QColor(Qt::black));
  QVERIFY(f.Line1[2]->autoFillBackground());
  QVERIFY(f.Line2->autoFillBackground());
}

void LayoutTest::designFacesResolveToInstalledSubstitutes() {
  frmMain& f = *form_;
  // Qt appends the foundry when a family is installed more than once.
  const auto family = [](QWidget* w) { return QFontInfo(w->font()).family().section(QStringLiteral(" ["), 0, 0); };
  const QStringList gothic{QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")};

  QVERIFY2(gothic.contains(family(f.Label1[2])), qPrintable(family(f.Label1[2])));
  QVERIFY2(gothic.contains(family(f.Option1[0])), qPrintable(family(f.Option1[0])));
  QCOMPARE(family(f.Text1[0]), QStringLiteral("Liberation Sans"));
  QCOMPARE(family(f.Combo1), QStringLiteral("Liberation Sans"));
  QCOMPARE(family(f.Label4), QStringLiteral("Liberation Sans"));
  QCOMPARE(family(f.Random), QStringLiteral("Liberation Sans"));
  QCOMPARE(family(f.Frame1), QStringLiteral("C059"));
  QCOMPARE(family(f.Label1[22]), QStringLiteral("C059"));
  // "Arial Black" is Lato's black cut.
  QCOMPARE(family(f.Run), QStringLiteral("Lato"));
  QCOMPARE(QFontInfo(f.Run->font()).weight(), int(QFont::Black));

  // Design sizes and styles survive; the boxes in the bold italic frame do
  // not take its style.
  QCOMPARE(f.Label1[2]->font().pointSizeF(), 14.25);
  QVERIFY(f.Label1[2]->font().bold() && f.Label1[2]->font().italic());
  QCOMPARE(f.Run->font().pointSizeF(), 24.0);
  QCOMPARE(f.Label2->font().pointSizeF(), 9.75);
  QVERIFY(f.Label2->font().bold());
  QVERIFY(f.Frame1->font().bold() && f.Frame1->font().italic());
  for (QWidget* w :
       {static_cast<QWidget*>(f.Text1[3]), static_cast<QWidget*>(f.Combo1), static_cast<QWidget*>(f.Option1[1])}) {
    QVERIFY(!QFontInfo(w->font()).italic());
  }
  QVERIFY(!f.Text1[3]->font().bold());
}

void LayoutTest::captionsFitTheirControls() {
  frmMain& f = *form_;
  for (QLabel* label : f.findChildren<QLabel*>()) {
    const QFontMetrics metrics(label->font());
    QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(),
             qPrintable(QStringLiteral("\"%1\" wider than its label").arg(label->text())));
  }
  for (QPushButton* button : {f.Run, f.Random, f.Clear, f.SavePar}) {
    // The ink, not the line height: the 20-pixel "S" has room for its
    // letter, not for a full line of the face.
    const QRect ink = QFontMetrics(button->font()).tightBoundingRect(button->text());
    QVERIFY2(ink.width() < button->width() - 8 && ink.height() < button->height() - 6, qPrintable(button->text()));
  }
  for (QLineEdit* box : f.findChildren<QLineEdit*>()) {
    if (box->parentWidget() == f.Combo1) continue;
    const QFontMetrics metrics(box->font());
    QVERIFY2(metrics.height() <= box->height() - 4, qPrintable(box->text()));
  }
  // Captions the substitute faces draw taller than the design's line keep
  // their descenders and underscores, and every caption's ink is inside.
  for (QLabel* label : {f.Label8[1], f.Label1[28], f.Label1[29]}) {
    const QFontMetrics metrics(label->font());
    QVERIFY2(metrics.ascent() + metrics.tightBoundingRect(label->text()).bottom() < label->height(),
             qPrintable(label->text()));
  }
  // The widest field size must show whole in its narrow box.
  const QFontMetrics metrics(f.Text3->font());
  QVERIFY(metrics.horizontalAdvance(QStringLiteral("128")) <= f.Text3->width() - 4);
}

void LayoutTest::tabVisitsEveryControlInDesignedOrder() {
  frmMain& f = *form_;
  ShowAndActivate();
  f.Frame3->setVisible(true);
  f.Picture3->setVisible(true);

  const std::vector<QWidget*> expected = VisibleStops();
  QCOMPARE(expected.size(), std::size_t(30));  // the option pair is one stop; back to the first
  QCOMPARE(TabFrom(expected.front(), static_cast<int>(expected.size()) - 1), expected);

  // The option pair is a single stop, on the selected option; in the chain
  // itself the two keep their designed order.
  QCOMPARE(f.Text3->nextInFocusChain(), f.Option1[1]);
  QCOMPARE(f.Option1[1]->nextInFocusChain(), f.Option1[0]);
  QCOMPARE(f.Option1[0]->nextInFocusChain(), f.Picture1);
}

void LayoutTest::tabSkipsHiddenControls() {
  ShowAndActivate();
  const std::vector<QWidget*> expected = VisibleStops();
  QCOMPARE(expected.size(), std::size_t(23));  // no brush tools, no field
  QCOMPARE(TabFrom(expected.front(), static_cast<int>(expected.size()) - 1), expected);
}

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"

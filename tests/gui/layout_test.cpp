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
#include <QSignalBlocker>
#include <QSlider>
#include <QtTest>

#include <memory>
#include <vector>

#include "ui/counter_label.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

using rdsim::frmMain;

namespace {

struct Placement {
  const char* name;
  QWidget* widget;
  QWidget* container;
  QRect pixels;
};

QString Describe(const Placement& p) {
  return QStringLiteral("%1 at (%2,%3 %4x%5) in %6")
      .arg(QString::fromLatin1(p.name))
      .arg(p.widget->x())
      .arg(p.widget->y())
      .arg(p.widget->width())
      .arg(p.widget->height())
      .arg(p.widget->parentWidget() ? p.widget->parentWidget()->metaObject()->className() : "nothing");
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

 private:
  void ShowAndActivate();
  std::vector<QWidget*> TabFrom(QWidget* first, int presses);

  std::unique_ptr<frmMain> form_;
};

void LayoutTest::ShowAndActivate() {
  form_->show();
  QApplication::setActiveWindow(form_.get());
  QVERIFY(QTest::qWaitForWindowActive(form_.get()));
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

  // File as designed first, the Run menu's speed limits, the Analysis menu last.
  QCOMPARE(form_->menuBar()->actions().size(), 3);
  QCOMPARE(form_->menuBar()->actions().front(), form_->mnuFile->menuAction());
  QCOMPARE(form_->menuBar()->actions().at(1), form_->mnuRun->menuAction());
  QCOMPARE(form_->menuBar()->actions().back(), form_->mnuAnalysis->menuAction());
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

  // The brush preview is borderless: all of it is drawing area.
  QCOMPARE(form_->Picture5->size(), QSize(25, 25));
  QCOMPARE(form_->Picture5->AreaWidth(), 25);
  QCOMPARE(form_->Picture5->AreaHeight(), 25);
  QCOMPARE(form_->Picture5->ScaleWidth(), 25.0);
  QCOMPARE(form_->Picture5->ScaleHeight(), 25.0);
}

void LayoutTest::controlsSitAtDesignedPlacesInTheirContainers() {
  frmMain& f = *form_;
  QWidget* client = f.centralWidget();
  const Placement placements[] = {
      {"Frame3", f.Frame3, client, {24, 16, 129, 113}},
      {"Frame2", f.Frame2, client, {24, 128, 129, 41}},
      {"Frame1", f.Frame1, client, {8, 184, 521, 145}},
      {"Picture1", f.Picture1, client, {189, 44, 132, 66}},
      {"Picture2", f.Picture2, client, {189, 110, 132, 66}},
      {"Label4", f.Label4, client, {192, 16, 89, 17}},
      {"Text3", f.Text3, client, {280, 16, 25, 18}},
      {"Label2", f.Label2, client, {368, 16, 81, 17}},
      {"Text2", f.Text2, client, {368, 48, 33, 18}},
      {"Run", f.Run, client, {352, 80, 161, 57}},
      {"Clear", f.Clear, client, {432, 136, 81, 33}},
      {"Line2", f.Line2, client, {0, 0, 536, 1}},
      {"Option1(0)", f.Option1[0], f.Frame2, {16, 16, 49, 17}},
      {"Option1(1)", f.Option1[1], f.Frame2, {72, 16, 49, 17}},
      {"Spiral", f.Spiral, f.Frame3, {16, 24, 33, 33}},
      {"Picture6(0)", f.Picture6[0], f.Frame3, {56, 24, 17, 17}},
      {"Picture6(1)", f.Picture6[1], f.Frame3, {56, 40, 17, 17}},
      {"Picture5", f.Picture5, f.Frame3, {88, 28, 25, 25}},
      {"Slider2", f.Slider2, f.Frame3, {56, 88, 65, 17}},
      {"Text1(0)", f.Text1[0], f.Frame1, {64, 32, 41, 18}},
      {"Text1(7)", f.Text1[7], f.Frame1, {296, 32, 41, 18}},
      {"Text1(8)", f.Text1[8], f.Frame1, {296, 72, 41, 18}},
      {"Text1(10)", f.Text1[10], f.Frame1, {200, 112, 33, 18}},
      {"Combo1", f.Combo1, f.Frame1, {248, 112, 113, 20}},
      {"SavePar", f.SavePar, f.Frame1, {360, 112, 20, 20}},
      {"Picture4", f.Picture4, f.Frame1, {392, 16, 121, 121}},
      {"Label1(7)", f.Label1[7], f.Frame1, {161, 69, 11, 19}},
      {"Label1(24)", f.Label1[24], f.Frame1, {356, 16, 10, 13}},
      {"Label1(29)", f.Label1[29], f.Frame1, {128, 113, 69, 14}},  // grown to the substitute's line
      {"Line1(0)", f.Line1[0], f.Frame1, {16, 39, 27, 1}},
      {"Line1(3)", f.Line1[3], f.Frame1, {344, 79, 37, 1}},
  };
  for (const Placement& p : placements) {
    QVERIFY2(p.widget->parentWidget() == p.container && p.widget->geometry() == p.pixels, qPrintable(Describe(p)));
  }
  // The brush captions are wider in the substitute face; they may only grow
  // to the right, towards the sliders, and stay clear of them.
  QCOMPARE(f.Label8[1]->parentWidget(), f.Frame3);
  QCOMPARE(f.Label8[1]->pos(), QPoint(13, 88));
  QVERIFY(f.Label8[1]->height() >= 11);
  QVERIFY(f.Label8[1]->width() >= 41);
  QVERIFY(f.Label8[1]->geometry().right() + 2 < f.Slider2->x());
  QVERIFY(f.Label8[0]->geometry().right() < f.Slider1->x());
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

  const std::vector<QWidget*> expected{f.Random,      f.Picture3,    f.Run,      f.Clear,    f.Slider2,  f.Slider1,
                                       f.Picture6[1], f.Picture6[0], f.Picture5, f.SavePar,  f.Combo1,   f.Text1[10],
                                       f.Text1[9],    f.Text1[8],    f.Text1[7], f.Text1[6], f.Text1[5], f.Text1[4],
                                       f.Text1[3],    f.Text1[2],    f.Text1[1], f.Text1[0], f.Picture4, f.Text2,
                                       f.Text3,       f.Option1[0],  f.Picture1, f.Picture2, f.Spiral,   f.Random};
  QCOMPARE(TabFrom(f.Random, static_cast<int>(expected.size()) - 1), expected);

  // The option pair is a single stop, on the selected option; in the chain
  // itself the two keep their designed order.
  QCOMPARE(f.Text3->nextInFocusChain(), f.Option1[1]);
  QCOMPARE(f.Option1[1]->nextInFocusChain(), f.Option1[0]);
  QCOMPARE(f.Option1[0]->nextInFocusChain(), f.Picture1);
}

void LayoutTest::tabSkipsHiddenControls() {
  frmMain& f = *form_;
  ShowAndActivate();

  const std::vector<QWidget*> expected{f.Random,   f.Run,        f.Clear,    f.SavePar,  f.Combo1,   f.Text1[10],
                                       f.Text1[9], f.Text1[8],   f.Text1[7], f.Text1[6], f.Text1[5], f.Text1[4],
                                       f.Text1[3], f.Text1[2],   f.Text1[1], f.Text1[0], f.Picture4, f.Text2,
                                       f.Text3,    f.Option1[0], f.Picture1, f.Picture2, f.Random};
  QCOMPARE(TabFrom(f.Random, static_cast<int>(expected.size()) - 1), expected);
}

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"

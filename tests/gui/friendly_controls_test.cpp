// What a new user meets besides the design: tooltips that explain the boxes
// and pictures, pictures that show the keyboard focus, Space on a swatch.
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>
#include <memory>

#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

using namespace rdsim;

class FriendlyControlsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<frmMain> form;

  void ShowAndActivate() {
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
  }

 private slots:
  void init() {
    SetErrorSink([](const std::string&) {});
    form = std::make_unique<frmMain>();
    form->Form_Load();
  }
  void cleanup() { form.reset(); }

  void everyBoxAndPictureExplainsItself() {
    frmMain& f = *form;
    const struct {
      QWidget* widget;
      const char* mentions;
    } expected[] = {
        {f.Text1[0], "k0, the factor of u in the activator equation"},
        {f.Text1[3], "k3, the decay of the activator"},
        {f.Text1[4], "k4, the factor of u in the inhibitor equation"},
        {f.Text1[7], "k7 (Du)"},
        {f.Text1[8], "k8 (Dv)"},
        {f.Text1[9], "synU_max"},
        {f.Text1[10], "synV_max"},
        {f.Text3, "Field size"},
        {f.Text2, "redrawn every"},
        {f.Picture1, "draw the activator"},
        {f.Picture2, "draw the inhibitor"},
        {f.Picture3, "paint"},
        {f.Picture4, "Click a point"},
        {f.Picture5, "brush"},
        {f.Picture6[0], "activator"},
        {f.Picture6[1], "inhibitor"},
        {f.Slider1, "radius"},
        {f.Slider2, "intensity"},
        {f.Spiral, "spiral"},
    };
    for (const auto& e : expected) {
      QVERIFY2(e.widget->toolTip().contains(QLatin1String(e.mentions)), qPrintable(e.widget->toolTip()));
    }
    // Every coefficient box has a tooltip of its own.
    QSet<QString> tips;
    for (QLineEdit* box : f.Text1) tips.insert(box->toolTip());
    QCOMPARE(tips.size(), 11);
  }

  // The boxes are named as the design names them, which is how an error
  // finds the box to focus.
  void boxesCarryTheirDesignNames() {
    QCOMPARE(form->Text1[0]->objectName(), QStringLiteral("Text1(0)"));
    QCOMPARE(form->Text1[10]->objectName(), QStringLiteral("Text1(10)"));
    QCOMPARE(form->Text2->objectName(), QStringLiteral("Text2"));
    QCOMPARE(form->Text3->objectName(), QStringLiteral("Text3"));
  }

  // A focused picture turns its border the highlight colour; its image, which
  // the tools read and the export saves, is untouched.
  void aFocusedPictureShowsIt() {
    ShowAndActivate();
    PictureBox* picture = form->Picture4;
    const QImage imageBefore = picture->Image().copy();
    form->Run->setFocus();
    const QImage unfocused = picture->grab().toImage();
    picture->setFocus(Qt::TabFocusReason);
    QVERIFY(picture->hasFocus());
    const QImage focused = picture->grab().toImage();
    const QRgb highlight = picture->palette().color(QPalette::Highlight).rgb();
    QCOMPARE(focused.pixel(0, 10), highlight);
    QCOMPARE(focused.pixel(1, 10), highlight);
    QVERIFY(unfocused.pixel(1, 10) != highlight);
    QCOMPARE(focused.pixel(20, 20), unfocused.pixel(20, 20));  // the drawing shows as before
    QCOMPARE(picture->Image(), imageBefore);
  }

  // Space on a swatch acts as its click; other keys and repeats do not.
  void spaceOnAPictureActsAsItsClick() {
    ShowAndActivate();
    form->Frame3->show();
    PictureBox* swatch = form->Picture6[1];
    QSignalSpy clicks(swatch, &PictureBox::Click);
    swatch->setFocus(Qt::TabFocusReason);
    QTest::keyClick(swatch, Qt::Key_Space);
    QCOMPARE(clicks.size(), 1);
    QTest::keyClick(swatch, Qt::Key_A);
    QTest::keyClick(swatch, Qt::Key_Space, Qt::ControlModifier);
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(swatch, &held);
    QCOMPARE(clicks.size(), 1);
  }

  // The keys the README's guide promises: arrows switch the mode.
  void arrowKeysSwitchTheMode() {
    ShowAndActivate();
    form->Option1[0]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(form->Option1[0], Qt::Key_Right);
    QVERIFY(form->Option1[1]->isChecked());
    QVERIFY(form->Picture3->isVisibleTo(form.get()));
    QTest::keyClick(form->Option1[1], Qt::Key_Left);
    QVERIFY(form->Option1[0]->isChecked());
  }
};

QTEST_MAIN(FriendlyControlsTest)
#include "friendly_controls_test.moc"

// What a new user meets besides the design: tooltips that explain the boxes
// and pictures, pictures that show the keyboard focus, keys that act.
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include "form_fixture.h"
#include "ui/picture_box.h"

using namespace rdsim;

class FriendlyControlsTest : public QObject, FormFixture {
  Q_OBJECT

 private slots:
  void init() {
    OpenForm();
    QVERIFY(ShowActive());
  }

  // Each box and picture has a tooltip of its own; a coefficient box's names
  // its coefficient.
  void everyBoxAndPictureExplainsItself() {
    frmMain& f = *form;
    QList<QWidget*> widgets{f.Text3,    f.Text2,       f.Picture1,    f.Picture2, f.Picture3, f.Picture4,
                            f.Picture5, f.Picture6[0], f.Picture6[1], f.Slider1,  f.Slider2,  f.Spiral};
    for (int k = 0; k < 11; ++k) {
      widgets << f.Text1[k];
      QVERIFY(f.Text1[k]->toolTip().contains(QRegularExpression(QStringLiteral("\\bk%1\\b").arg(k))));
    }
    QSet<QString> tips;
    for (QWidget* widget : widgets) tips << widget->toolTip();
    QVERIFY(!tips.contains(QString()));
    QCOMPARE(tips.size(), widgets.size());
  }

  // A focused picture turns its border the highlight colour; its image, which
  // the tools read and the export saves, is untouched.
  void aFocusedPictureShowsIt() {
    PictureBox* picture = form->Picture4;
    const QImage imageBefore = picture->Image().copy();
    form->Run->setFocus();
    const QImage unfocused = picture->grab().toImage();
    picture->setFocus(Qt::TabFocusReason);
    const QImage focused = picture->grab().toImage();
    const QRgb highlight = picture->palette().color(QPalette::Highlight).rgb();
    QCOMPARE(focused.pixel(0, 10), highlight);
    QCOMPARE(focused.pixel(1, 10), highlight);
    QVERIFY(unfocused.pixel(1, 10) != highlight);
    QCOMPARE(focused.pixel(20, 20), unfocused.pixel(20, 20));  // the drawing shows as before
    QCOMPARE(picture->Image(), imageBefore);
  }

  // Space on a swatch acts as its click; other keys and repeats do not.
  // Arrows switch the mode.
  void keysActAsTheGuideSays() {
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

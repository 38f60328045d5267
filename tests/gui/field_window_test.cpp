// View > Field Window: the cell under the pointer at several zooms, the probe
// of a right press, and the choices remembered.
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "core/number_text.h"
#include "form_fixture.h"
#include "ui/app_settings.h"
#include "ui/field_window.h"
#include "ui/picture_box.h"

using rdsim::FormFixture;

class FieldWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path()); }
  void init() { f_.OpenForm(); }
  void cleanup() { f_.form.reset(); }

  void readsTheCellUnderThePointerAtEveryZoom();
  void fullScreenComesAndGoesAndIsRemembered();
  void aProfileStrokeKeepsTheScaleItBeganWith();

 private:
  QTemporaryDir settings_;
  FormFixture f_;
};

void FieldWindowTest::readsTheCellUnderThePointerAtEveryZoom() {
  const struct {
    const char* size;
    QSize window;
    int zoom;
  } rows[] = {{"128", {500, 400}, 2}, {"128", {900, 700}, 4}, {"40", {1280, 900}, 19}, {"7", {400, 350}, 34}};
  for (const auto& row : rows) {
    f_.Enter2D(row.size);
    f_.form->Random->click();
    f_.form->mnuFieldWindow->trigger();
    rdsim::FieldWindow& window = *f_.form->frmField;
    window.resize(row.window);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.Zoom(), row.zoom);
    QCOMPARE(window.Picture->width(), row.zoom * f_.sim().N);
    QSignalSpy probe(&window, &rdsim::FieldWindow::ProbeChosen);
    const int n = f_.sim().N;
    for (const QPoint cell : {QPoint(0, 0), QPoint(n - 1, 2), QPoint(n / 2, n - 1)}) {
      // The last pixel of the cell, which a rounding error would give to the next.
      const QPoint pixel = cell * row.zoom + QPoint(row.zoom - 1, row.zoom - 1);
      QMouseEvent move(QEvent::MouseMove, QPointF(pixel) + QPointF(0.5, 0.5),
                       window.Picture->mapToGlobal(QPointF(pixel)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(window.Picture, &move);
      QTRY_COMPARE(window.PointedCell(), std::optional<QPoint>(cell));
      const float u = f_.sim().U()[std::size_t(cell.x() + cell.y() * n)];
      QVERIFY2(window.Values->text().contains(QString::fromStdString(rdsim::ExactSingle(u))),
               qPrintable(window.Values->text()));
      QTest::mouseClick(window.Picture, Qt::RightButton, {}, pixel);
      QCOMPARE(probe.takeLast(), (QList<QVariant>{cell.x(), cell.y()}));
    }
    window.Colours->setCurrentIndex(1);
    window.close();
    QCOMPARE(rdsim::AppSettings().value("FieldWindow/colours").toString(), window.Colours->currentText());
  }
}

void FieldWindowTest::fullScreenComesAndGoesAndIsRemembered() {
  f_.form->mnuFieldWindow->trigger();
  rdsim::FieldWindow* window = f_.form->frmField;
  QVERIFY(QTest::qWaitForWindowExposed(window));
  for (const auto& [key, full] : {std::pair{Qt::Key_F11, true}, {Qt::Key_Escape, false}, {Qt::Key_F11, true}}) {
    QTest::keyClick(window, key);
    QTRY_COMPARE(window->isFullScreen(), full);
    QCOMPARE(window->FullScreen->text().contains(QStringLiteral("Esc")), full);
  }
  window->close();
  f_.form.reset();
  f_.OpenForm();
  f_.form->mnuFieldWindow->trigger();
  QTRY_VERIFY(f_.form->frmField->isFullScreen());
}

// With an automatic range the stroke changes the range it is drawn in; a
// level drag must still give every cell it crosses the same value.
void FieldWindowTest::aProfileStrokeKeepsTheScaleItBeganWith() {
  f_.form->Option1[0]->click();
  f_.form->Clear->click();
  f_.form->mnuFieldWindow->trigger();
  rdsim::FieldWindow& window = *f_.form->frmField;
  window.resize(900, 700);
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  window.RangeKind->setCurrentIndex(1);
  QWidget* stage = window.findChild<QWidget*>(QStringLiteral("Stage"));
  QVERIFY(stage);
  // Bars rise from 0: the cleared line shows none, though its range reaches below 0.
  const QImage cleared = stage->grab().toImage();
  for (int y = 0; y < cleared.height(); y += 3) {
    for (int x = 0; x < cleared.width(); x += 3) QVERIFY(cleared.pixelColor(x, y) != QColor(Qt::red));
  }
  const int y = stage->height() / 5;
  QTest::mousePress(stage, Qt::LeftButton, {}, QPoint(150, y));
  for (int x = 160; x <= 600; x += 10) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), stage->mapToGlobal(QPointF(x, y)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(stage, &move);
  }
  QTest::mouseRelease(stage, Qt::LeftButton, {}, QPoint(600, y));
  const rdsim::Buffer& u = f_.sim().U();
  const auto drawn = std::count_if(u.begin(), u.end(), [](float v) { return v > 0; });
  QVERIFY2(drawn > 20, qPrintable(QString::number(drawn)));
  for (const float v : u) QVERIFY(v == 0 || v == *std::max_element(u.begin(), u.end()));
}

QTEST_MAIN(FieldWindowTest)
#include "field_window_test.moc"

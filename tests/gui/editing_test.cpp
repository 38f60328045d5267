// The editing tools through the window's own handlers: brush and preview,
// swatches, stroke state, spiral seed, profile drawing.
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSlider>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <memory>

#include "core/constants.h"
#include "ui/counter_label.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

using namespace rdsim;

namespace {

constexpr qint64 kGreen = 0x00FF00;

QSet<QPoint> PixelsOf(const PictureBox& picture, qint64 color) {
  QSet<QPoint> found;
  for (int y = 0; y < picture.AreaHeight(); ++y)
    for (int x = 0; x < picture.AreaWidth(); ++x)
      if (picture.GetPixel(x, y) == color) found.insert(QPoint(x, y));
  return found;
}

QSet<QPoint> CellsEqualTo(const Buffer& cells, int n, float value) {
  QSet<QPoint> found;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      if (cells[std::size_t(x + y * n)] == value) found.insert(QPoint(x, y));
  return found;
}

bool Connected8(const QSet<QPoint>& points) {
  if (points.isEmpty()) return false;
  QSet<QPoint> seen{*points.begin()};
  QList<QPoint> todo{*points.begin()};
  while (!todo.isEmpty()) {
    const QPoint p = todo.takeLast();
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const QPoint q = p + QPoint(dx, dy);
        if (points.contains(q) && !seen.contains(q)) {
          seen.insert(q);
          todo.append(q);
        }
      }
  }
  return seen.size() == points.size();
}

}  // namespace

class EditingTest : public QObject {
  Q_OBJECT

  std::unique_ptr<frmMain> form;
  std::vector<std::string> errors;

  Simulation& sim() { return form->sim; }
  void SetBrush(int radius, int intensity) {
    form->Slider1->setValue(radius);
    form->Slider2->setValue(intensity);
  }
  void Enter2D(const char* size = "128") {
    form->Option1[1]->click();
    form->Text3->setText(size);
    form->Clear->click();
  }
  void Press3(int button, float x, float y) { form->Picture3_MouseDown(button, 0, x, y); }
  void Move3(float x, float y) { form->Picture3_MouseMove(1, 0, x, y); }
  void Release3() { form->Picture3_MouseUp(1, 0, 0, 0); }
  void Dab(float x, float y) {
    Press3(1, x, y);
    Release3();
  }
  int PreviewCount(qint64 color) { return PixelsOf(*form->Picture5, color).size(); }

 private slots:
  void init() {
    errors.clear();
    SetErrorSink([this](const std::string& message) { errors.push_back(message); });
    form = std::make_unique<frmMain>();
    form->Form_Load();
  }
  void cleanup() {
    QVERIFY2(errors.empty(), errors.empty() ? "" : errors.front().c_str());
    form.reset();
  }

  void discFootprintsAreClippedToTheField_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<int>("radius");
    QTest::addColumn<int>("cells");
    QTest::addColumn<QRect>("box");
    QTest::newRow("R=0 under the pointer") << 40.f << 17.f << 0 << 1 << QRect(40, 17, 1, 1);
    QTest::newRow("R=0 between cells") << 40.4f << 16.6f << 0 << 0 << QRect();
    QTest::newRow("R=7 inside") << 60.f << 60.f << 7 << 149 << QRect(53, 53, 15, 15);
    QTest::newRow("R=7 top-left corner") << 0.f << 0.f << 7 << 45 << QRect(0, 0, 8, 8);
    QTest::newRow("R=7 bottom-right corner") << 127.f << 127.f << 7 << 45 << QRect(120, 120, 8, 8);
    QTest::newRow("R=7 half outside left") << -3.f << 50.f << 7 << 41 << QRect(0, 44, 5, 13);
    QTest::newRow("R=7 beyond reach") << -7.6f << 50.f << 7 << 0 << QRect();
  }
  void discFootprintsAreClippedToTheField() {
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(int, radius);
    QFETCH(int, cells);
    QFETCH(QRect, box);
    Enter2D();
    SetBrush(radius, 255);
    std::fill(sim().V().begin(), sim().V().end(), 3.0f);
    Dab(x, y);
    const QSet<QPoint> painted = CellsEqualTo(sim().U(), 128, 10.0f);
    if (!box.isNull()) QCOMPARE(painted.size(), cells);
    QRect bounds;
    for (const QPoint& p : painted) bounds |= QRect(p, QSize(1, 1));
    if (!box.isNull()) QCOMPARE(bounds, box);
    if (cells == 0) QVERIFY(painted.isEmpty());
    // Both buffers of the species, a mark on each cell's own pixel, the other
    // species and the spare element untouched.
    QCOMPARE(CellsEqualTo(sim().U2(), 128, 10.0f), painted);
    QCOMPARE(PixelsOf(*form->Picture3, 0xFF0000), painted);
    QCOMPARE(CellsEqualTo(sim().V(), 128, 3.0f).size(), 128 * 128);
    QCOMPARE(sim().U()[128 * 128], 0.0f);
  }

  void brushValuesReplaceAndSpeciesStayApart() {
    Enter2D();
    SetBrush(2, 128);
    Dab(10, 10);
    Dab(10, 10);
    QCOMPARE(sim().U()[10 + 10 * 128], 5.019608f);  // replaced, not added
    QCOMPARE(sim().U2()[10 + 10 * 128], 5.019608f);
    QCOMPARE(form->Picture3->GetPixel(10, 10), qint64(0x800000));

    form->Picture6_Click(1);
    SetBrush(2, 255);
    const Buffer u = sim().U(), u2 = sim().U2();
    Dab(10, 10);
    QCOMPARE(sim().U(), u);
    QCOMPARE(sim().U2(), u2);
    QCOMPARE(sim().V()[10 + 12 * 128], 10.0f);
    QCOMPARE(sim().V2()[10 + 12 * 128], 10.0f);
    QCOMPARE(form->Picture3->GetPixel(10, 12), qint64(0x0000FF));

    SetBrush(1, 0);  // the eraser
    Dab(10, 10);
    QCOMPARE(sim().V()[10 + 11 * 128], 0.0f);
    QCOMPARE(form->Picture3->GetPixel(10, 11), qint64(0));
  }

  void previewFollowsSlidersAndSwatches() {
    // Drawn at start-up although the tools are hidden.
    QVERIFY(!form->Frame3->isVisibleTo(form.get()));
    QCOMPARE(PreviewCount(0xFF0000), 149);
    const struct {
      int radius, pixels;
    } table[] = {{0, 1}, {1, 5}, {2, 13}, {3, 29}, {7, 149}, {12, 441}};
    for (const auto& row : table) {
      form->Slider1->setValue(row.radius);
      QCOMPARE(PreviewCount(0xFF0000), row.pixels);
    }
    // R=12 touches all four edges.
    for (QPoint p : {QPoint(12, 0), QPoint(0, 12), QPoint(24, 12), QPoint(12, 24)})
      QCOMPARE(form->Picture5->GetPixel(p.x(), p.y()), qint64(0xFF0000));
    form->Slider2->setValue(100);
    QCOMPARE(PreviewCount(0x640000), 441);
    // While the thumb is dragged the preview follows the value it reaches.
    form->Slider1->setSliderDown(true);
    form->Slider1->setValue(3);
    QCOMPARE(PreviewCount(0x640000), 29);
    form->Slider1->setSliderDown(false);
    form->Slider1->setValue(12);

    form->Picture6_Click(1);
    QVERIFY(!sim().BrushOnActivator);
    QCOMPARE(form->Picture6[0]->BackColor(), QRgb(0x7F0000));
    QCOMPARE(form->Picture6[1]->BackColor(), QRgb(0x0000FF));
    QCOMPARE(PreviewCount(0x000064), 441);
    form->Picture6_Click(0);
    QVERIFY(sim().BrushOnActivator);
    QCOMPARE(form->Picture6[0]->BackColor(), QRgb(0xFF0000));
    QCOMPARE(form->Picture6[1]->BackColor(), QRgb(0x00007F));
    QCOMPARE(PreviewCount(0x640000), 441);
    form->Picture6_Click(2);  // no such swatch
    QVERIFY(sim().BrushOnActivator);
  }

  void strokesStartOnlyWithTheLeftButtonAndEndOnAnyRelease() {
    Enter2D();
    SetBrush(0, 255);
    Press3(2, 5, 5);  // right button
    Move3(6, 6);
    QVERIFY(PixelsOf(*form->Picture3, 0xFF0000).isEmpty());

    Press3(1, 5, 5);
    Move3(7, 5);
    // Another picture's press during the stroke starts nothing there.
    form->Picture1_MouseDown(1, 0, 3, 4);
    QCOMPARE(sim().U()[3], 0.0f);
    form->Picture3_MouseUp(2, 0, 0, 0);  // any button ends it
    Move3(9, 5);
    QCOMPARE(PixelsOf(*form->Picture3, 0xFF0000), (QSet<QPoint>{{5, 5}, {7, 5}}));
    QVERIFY(!sim().MouseDrawing);
  }

  void paintingDuringARunIsWhatTheNextStepsIntegrate() {
    Enter2D("32");
    form->show();
    SetBrush(3, 255);
    // A few steps in, so that the newest field may sit in either pair.
    auto poll = std::make_shared<std::function<void()>>();
    int painted = 0;
    *poll = [&, poll] {
      const int steps = form->Label2->Caption().toInt() - 1;
      if (painted == 0 && steps >= 7) {
        Dab(16, 16);
        painted = steps;
      }
      if (painted == 0 || steps < painted + 10) {
        QTimer::singleShot(0, *poll);
        return;
      }
      form->Run->click();
    };
    QTimer::singleShot(0, *poll);
    form->Run->click();
    QVERIFY(painted > 0);
    // The cleared field stays uniform unless the disc took part in the steps.
    QVERIFY(sim().U()[16 + 16 * 32] > sim().U()[0] + 1.0f);
  }

  void spiralScanReadsOnlyThePicture() {
    Enter2D();
    SetBrush(0, 255);
    form->Picture3->SetWidth(40);  // an image smaller than the field
    form->Picture3->SetHeight(40);
    form->Spiral->click();
    const QSet<QPoint> stamped = CellsEqualTo(sim().U(), 128, 10.0f);
    for (const QPoint& p : stamped) QVERIFY(p.x() < 36 && p.y() < 36);
  }

  void spiralArcsJoinIntoOneThinCurve() {
    for (const char* size : {"128", "100", "41", "7"}) {
      Enter2D(size);
      SetBrush(0, 255);
      form->Spiral->click();
      const int n = sim().N;
      const QSet<QPoint> curve = CellsEqualTo(sim().U(), n, 10.0f);
      QVERIFY2(Connected8(curve), size);
      // One pixel wide: no pixel has more than its two neighbours on the curve.
      for (const QPoint& p : curve) {
        int neighbours = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            neighbours += (dx || dy) && curve.contains(p + QPoint(dx, dy));
        QVERIFY2(neighbours <= 2, size);
      }
    }
  }

  void arcsOnlyDrawTheirCurve() {
    // Corners taken back while the curve is drawn show what was under them.
    QWidget parent;
    PictureBox picture(&parent);
    picture.Place(0, 0, 68, 68);
    QImage ground(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) ground.setPixel(x, y, qRgb(x * 4, 0, y * 4));
    picture.Blit(ground);
    for (int i = 0; i < 400; ++i)
      picture.Circle(31.5f, 25.2f, float(i * 0.00125 * 63), kGreen, float(i * 0.0157),
                     float((i + 1) * 0.0157));
    const QSet<QPoint> curve = PixelsOf(picture, kGreen);
    QVERIFY(curve.size() > 60);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (!curve.contains(QPoint(x, y)))
          QCOMPARE(picture.GetPixel(x, y), qint64(ground.pixel(x, y) & 0xFFFFFF));
  }

  void spiralWithoutRadiusCopiesTheCurve() {
    Enter2D();
    SetBrush(0, 255);
    form->Spiral->click();
    const QSet<QPoint> stamped = CellsEqualTo(sim().U(), 128, 10.0f);
    // The same arcs drawn into a blank picture of the field's size.
    QWidget parent;
    PictureBox reference(&parent);
    reference.Place(0, 0, 132, 132);
    for (int i = 0; i < 400; ++i)
      reference.Circle(63.5f, 50.8f, float(i * 0.00125 * 127), kGreen, float(i * 0.0157),
                       float((i + 1) * 0.0157));
    QCOMPARE(stamped, PixelsOf(reference, kGreen));
    QVERIFY(Connected8(stamped));
    for (const QPoint& p : stamped)
      QVERIFY(p.x() >= 30 && p.x() <= 127 && p.y() >= 32 && p.y() <= 100);
    QVERIFY(PixelsOf(*form->Picture3, kGreen).isEmpty());
    QCOMPARE(PixelsOf(*form->Picture3, 0xFF0000), stamped);
    QCOMPARE(CellsEqualTo(sim().U(), 128, 0.0f).size(), 128 * 128 - stamped.size());
  }

  void spiralStampsCoverTheCurveWithoutOverlappingCentres() {
    Enter2D();
    SetBrush(0, 255);
    form->Spiral->click();
    const QSet<QPoint> curve = CellsEqualTo(sim().U(), 128, 10.0f);
    form->Clear->click();

    SetBrush(7, 255);
    form->Spiral->click();
    QVERIFY(PixelsOf(*form->Picture3, kGreen).isEmpty());
    // The stamp centres in scan order: each curve pixel that no earlier centre
    // reaches. Their discs must be exactly the painted cells.
    QList<QPoint> centres;
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) {
        if (!curve.contains(QPoint(x, y))) continue;
        bool covered = false;
        for (const QPoint& c : centres) covered |= std::hypot(x - c.x(), y - c.y()) <= 7;
        if (!covered) centres.append(QPoint(x, y));
      }
    QVERIFY(centres.size() > 5);
    for (int i = 0; i < centres.size(); ++i)
      for (int j = i + 1; j < centres.size(); ++j)
        QVERIFY(std::hypot(centres[i].x() - centres[j].x(), centres[i].y() - centres[j].y()) > 7);
    QSet<QPoint> discs;
    for (const QPoint& c : centres)
      for (int y = c.y() - 7; y <= c.y() + 7; ++y)
        for (int x = c.x() - 7; x <= c.x() + 7; ++x)
          if (std::hypot(x - c.x(), y - c.y()) <= 7 && QRect(0, 0, 128, 128).contains(x, y))
            discs.insert(QPoint(x, y));
    QCOMPARE(CellsEqualTo(sim().U(), 128, 10.0f), discs);

    // A second click with the same brush changes nothing.
    const Buffer u = sim().U(), u2 = sim().U2();
    form->Spiral->click();
    QCOMPARE(sim().U(), u);
    QCOMPARE(sim().U2(), u2);

    // With the inhibitor selected the activator stays as it is.
    form->Picture6_Click(1);
    form->Spiral->click();
    QCOMPARE(sim().U(), u);
    QCOMPARE(CellsEqualTo(sim().V(), 128, 10.0f), discs);
    QCOMPARE(CellsEqualTo(sim().V2(), 128, 10.0f), discs);
  }

  void profileCellsFollowThePointer_data() {
    QTest::addColumn<int>("picture");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<int>("cell");  // -1: nothing written
    QTest::addColumn<float>("value");
    QTest::newRow("activator") << 1 << 5.f << 3.2f << 5 << 3.2f;
    QTest::newRow("inhibitor") << 2 << 5.f << 3.2f << 5 << 3.2f;
    QTest::newRow("2.5 to even") << 1 << 2.5f << 4.f << 2 << 4.f;
    QTest::newRow("3.5 to even") << 2 << 3.5f << 4.f << 4 << 4.f;
    QTest::newRow("above the top") << 2 << 60.f << 14.f << 60 << Vmax;
    QTest::newRow("below the bottom") << 1 << 60.f << -3.f << 60 << 0.f;
    QTest::newRow("beyond the right") << 1 << 127.2f << 5.f << -1 << 0.f;
    QTest::newRow("beyond the left") << 2 << -0.2f << 5.f << -1 << 0.f;
  }
  void profileCellsFollowThePointer() {
    QFETCH(int, picture);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(int, cell);
    QFETCH(float, value);
    form->Clear->click();  // intake scale: 0..N across N pixels
    std::fill(sim().U().begin(), sim().U().end(), 1.0f);
    std::fill(sim().V().begin(), sim().V().end(), 1.0f);
    PictureBox& box = picture == 1 ? *form->Picture1 : *form->Picture2;
    const QImage before = box.Image();
    auto down = picture == 1 ? &frmMain::Picture1_MouseDown : &frmMain::Picture2_MouseDown;
    auto move = picture == 1 ? &frmMain::Picture1_MouseMove : &frmMain::Picture2_MouseMove;
    auto up = picture == 1 ? &frmMain::Picture1_MouseUp : &frmMain::Picture2_MouseUp;
    (form.get()->*down)(1, 0, 40, 5);
    (form.get()->*move)(1, 0, x, y);
    (form.get()->*up)(1, 0, x, y);
    Buffer& edited = picture == 1 ? sim().U() : sim().V();
    Buffer& other = picture == 1 ? sim().V() : sim().U();
    QCOMPARE(edited[40], 5.0f);
    for (int i = 0; i <= 128; ++i) {
      if (i == 40) continue;
      QCOMPARE(edited[std::size_t(i)], i == cell ? value : 1.0f);
      QCOMPARE(other[std::size_t(i)], 1.0f);
    }
    const int column = int(std::floor(x));
    const qint64 bar = picture == 1 ? 0xFF0000 : 0x0000FF;
    if (cell >= 0) {
      QCOMPARE(box.GetPixel(column, box.AreaHeight() - 1), value > 0 ? bar : qint64(0xFFFFFF));
      QCOMPARE(box.GetPixel(column, 0), value == 10.0f ? bar : qint64(0xFFFFFF));
    } else {
      // Nothing drawn outside the bars of the press.
      const QImage after = box.Image();
      for (int c = 0; c < box.AreaWidth(); ++c)
        if (c != 40) QCOMPARE(after.copy(c, 0, 1, after.height()), before.copy(c, 0, 1, before.height()));
    }
  }

  void pressInTheLastColumnKeepsToTheCells() {
    form->Clear->click();
    // The last pixel column spans x in [127, 128): its right half rounds to
    // 128, one past the last cell.
    form->Picture1_MouseDown(1, 0, 127.7f, 6.0f);
    QVERIFY(sim().MouseDrawing);  // the stroke still starts
    QCOMPARE(sim().U()[128], 0.0f);
    QCOMPARE(sim().U()[127], 0.0f);
    form->Picture1_MouseMove(1, 0, 126.6f, 6.0f);
    QCOMPARE(sim().U()[127], 6.0f);
    form->Picture1_MouseUp(1, 0, 0, 0);
    form->Picture2_MouseDown(1, 0, 126.9f, 12.0f);  // a press on the border above the area
    QCOMPARE(sim().V()[127], Vmax);
    form->Picture2_MouseUp(1, 0, 0, 0);
  }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"

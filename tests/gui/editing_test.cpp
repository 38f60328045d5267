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

QList<QPoint> Neighbours(const QSet<QPoint>& points, QPoint p) {
  QList<QPoint> found;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if ((dx || dy) && points.contains(p + QPoint(dx, dy))) found.append(p + QPoint(dx, dy));
  return found;
}

// One 8-connected line one pixel wide: connected, and no pixel with more
// than two neighbours on it.
bool ThinConnected(const QSet<QPoint>& points) {
  if (points.isEmpty()) return false;
  QSet<QPoint> seen{*points.begin()};
  QList<QPoint> todo{*points.begin()};
  while (!todo.isEmpty()) {
    const QList<QPoint> next = Neighbours(points, todo.takeLast());
    if (next.size() > 2) return false;
    for (const QPoint& q : next)
      if (!seen.contains(q)) seen.insert(q), todo.append(q);
  }
  return seen.size() == points.size();
}

// The spiral's arcs for a field of n cells.
void DrawSpiralArcs(PictureBox& picture, int n) {
  const double last = n - 1;
  for (int i = 0; i < 400; ++i)
    picture.Circle(float(0.5 * last), float(0.4 * last), float(i * 0.00125 * last), kGreen, float(i * 0.0157),
                   float((i + 1) * 0.0157));
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
  void Dab(float x, float y) {
    form->Picture3_MouseDown(1, 0, x, y);
    form->Picture3_MouseUp(1, 0, x, y);
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

  void discFootprintsAreClippedToTheField() {
    const struct {
      float x, y;
      int radius, cells;
      QRect box;
    } table[] = {
        {40, 17, 0, 1, {40, 17, 1, 1}},          {40.4f, 16.6f, 0, 0, {}},  // R=0: only a cell centre
        {60, 60, 7, 149, {53, 53, 15, 15}},      {0, 0, 7, 45, {0, 0, 8, 8}},
        {127, 127, 7, 45, {120, 120, 8, 8}},     {-3, 50, 7, 41, {0, 44, 5, 13}},
        {-7.6f, 50, 7, 0, {}},  // beyond the reach of the disc
    };
    Enter2D();
    for (const auto& row : table) {
      form->Picture3->Cls();
      for (Buffer* b : {&sim().U(), &sim().U2(), &sim().V()}) std::fill(b->begin(), b->end(), 0.0f);
      std::fill(sim().V().begin(), sim().V().end(), 3.0f);
      SetBrush(row.radius, 255);
      Dab(row.x, row.y);
      const QSet<QPoint> painted = CellsEqualTo(sim().U(), 128, 10.0f);
      QRect bounds;
      for (const QPoint& p : painted) bounds |= QRect(p, QSize(1, 1));
      QCOMPARE(painted.size(), row.cells);
      QCOMPARE(bounds, row.box);
      // Both buffers of the species, a mark on each cell's own pixel, the
      // other species and the spare element untouched.
      QCOMPARE(CellsEqualTo(sim().U2(), 128, 10.0f), painted);
      QCOMPARE(PixelsOf(*form->Picture3, 0xFF0000), painted);
      QCOMPARE(CellsEqualTo(sim().V(), 128, 3.0f).size(), 128 * 128);
      QCOMPARE(sim().U()[128 * 128], 0.0f);
    }
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
    const int pixels[13] = {1, 5, 13, 29, 0, 0, 0, 149, 0, 0, 0, 0, 441};
    for (int radius : {0, 1, 2, 3, 7, 12}) {
      form->Slider1->setValue(radius);
      QCOMPARE(PreviewCount(0xFF0000), pixels[radius]);
    }
    for (QPoint p : {QPoint(12, 0), QPoint(0, 12), QPoint(24, 12), QPoint(12, 24)})
      QCOMPARE(form->Picture5->GetPixel(p.x(), p.y()), qint64(0xFF0000));  // R=12 touches the edges
    form->Slider2->setValue(100);
    QCOMPARE(PreviewCount(0x640000), 441);
    // While the thumb is dragged the preview follows the value it reaches.
    form->Slider1->setSliderDown(true);
    form->Slider1->setValue(3);
    QCOMPARE(PreviewCount(0x640000), 29);
    form->Slider1->setSliderDown(false);

    const struct {
      int index;
      QRgb red, blue;
      qint64 preview;
    } swatches[] = {{1, 0x7F0000, 0x0000FF, 0x000064}, {0, 0xFF0000, 0x00007F, 0x640000}};
    for (const auto& row : swatches) {
      form->Picture6_Click(row.index);
      QCOMPARE(sim().BrushOnActivator, row.index == 0);
      QCOMPARE(form->Picture6[0]->BackColor(), row.red);
      QCOMPARE(form->Picture6[1]->BackColor(), row.blue);
      QCOMPARE(PreviewCount(row.preview), 29);
    }
    form->Picture6_Click(2);  // no such swatch
    QVERIFY(sim().BrushOnActivator);
  }

  void strokesStartOnlyWithTheLeftButtonAndEndOnAnyRelease() {
    Enter2D();
    SetBrush(0, 255);
    form->Picture3_MouseDown(2, 0, 5, 5);  // right button
    form->Picture3_MouseMove(2, 0, 6, 6);
    QVERIFY(PixelsOf(*form->Picture3, 0xFF0000).isEmpty());

    form->Picture3_MouseDown(1, 0, 5, 5);
    form->Picture3_MouseMove(0, 0, 7, 5);  // the buttons of a move do not matter
    form->Picture1_MouseDown(1, 0, 3, 4);  // another picture's press starts nothing
    QCOMPARE(sim().U()[3], 0.0f);
    form->Picture3_MouseUp(2, 0, 0, 0);  // any button ends the stroke
    form->Picture3_MouseMove(1, 0, 9, 5);
    QCOMPARE(PixelsOf(*form->Picture3, 0xFF0000), (QSet<QPoint>{{5, 5}, {7, 5}}));
  }

  void paintingDuringARunIsWhatTheNextStepsIntegrate() {
    Enter2D("32");
    form->show();
    SetBrush(3, 255);
    // Some steps in, then ten more, so that either pair may hold the newest field.
    int painted = 0;
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [&, poll] {
      const int steps = form->Label2->Caption().toInt() - 1;
      if (painted == 0 && steps >= 7) Dab(16, 16), painted = steps;
      if (painted == 0 || steps < painted + 10) return QTimer::singleShot(0, *poll);
      form->Run->click();
    };
    QTimer::singleShot(0, *poll);
    form->Run->click();
    // The cleared field stays uniform unless the disc took part in the steps.
    QVERIFY(painted > 0);
    QVERIFY(sim().U()[16 + 16 * 32] > sim().U()[0] + 1.0f);
  }

  void spiralWithoutRadiusCopiesTheArcsAsOneThinLine() {
    for (int n : {128, 100, 41, 7}) {
      Enter2D(QByteArray::number(n).constData());
      SetBrush(0, 255);
      form->Spiral->click();
      const QSet<QPoint> curve = CellsEqualTo(sim().U(), n, 10.0f);
      QWidget parent;
      PictureBox reference(&parent);
      reference.Place(0, 0, n + 4, n + 4);
      DrawSpiralArcs(reference, n);
      QCOMPARE(curve, PixelsOf(reference, kGreen));
      QVERIFY2(ThinConnected(curve), QByteArray::number(n));
      QCOMPARE(PixelsOf(*form->Picture3, 0xFF0000), curve);
      QCOMPARE(CellsEqualTo(sim().U(), n, 0.0f).size(), n * n - curve.size());
    }
    // Where the picture is smaller than the field, the rest reads as not green.
    Enter2D();
    form->Picture3->SetWidth(74);
    form->Picture3->SetHeight(74);
    form->Spiral->click();
    const QSet<QPoint> stamped = CellsEqualTo(sim().U(), 128, 10.0f);
    QVERIFY(!stamped.isEmpty());
    for (const QPoint& p : stamped) QVERIFY(p.x() < 70 && p.y() < 70);
  }

  void arcsTakeBackOnlyTheirOwnCorners() {
    QWidget parent;
    PictureBox picture(&parent);
    picture.Place(0, 0, 68, 68);
    QImage ground(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) ground.setPixel(x, y, qRgb(x * 4, 0, y * 4));
    picture.Blit(ground);
    DrawSpiralArcs(picture, 64);
    const QSet<QPoint> curve = PixelsOf(picture, kGreen);
    QVERIFY(ThinConnected(curve));
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (!curve.contains(QPoint(x, y))) QCOMPARE(picture.GetPixel(x, y), qint64(ground.pixel(x, y) & 0xFFFFFF));
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
    // reaches. They lie more than 7 apart, and their discs are the painted cells.
    QList<QPoint> centres;
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) {
        bool covered = !curve.contains(QPoint(x, y));
        for (const QPoint& c : centres) covered |= std::hypot(x - c.x(), y - c.y()) <= 7;
        if (!covered) centres.append(QPoint(x, y));
      }
    QVERIFY(centres.size() > 5);
    QSet<QPoint> discs;
    for (const QPoint& c : centres) {
      for (const QPoint& d : centres) QVERIFY(c == d || std::hypot(c.x() - d.x(), c.y() - d.y()) > 7);
      for (int y = std::max(0, c.y() - 7); y <= std::min(127, c.y() + 7); ++y)
        for (int x = std::max(0, c.x() - 7); x <= std::min(127, c.x() + 7); ++x)
          if (std::hypot(x - c.x(), y - c.y()) <= 7) discs.insert(QPoint(x, y));
    }
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
    QCOMPARE(CellsEqualTo(sim().V2(), 128, 10.0f), discs);
  }

  void profileCellsFollowThePointer() {
    const struct {
      int picture;
      float x, y;
      int cell;  // -1: nothing written
      float value;
    } table[] = {
        {1, 5, 3.2f, 5, 3.2f},   {2, 5, 3.2f, 5, 3.2f},    {1, 2.5f, 4, 2, 4},  // ties to even
        {2, 3.5f, 4, 4, 4},      {2, 60, 14, 60, Vmax},    {1, 60, -3, 60, 0},  // pinned to the scale
        {1, 127.2f, 5, -1, 0},   {2, -0.2f, 5, -1, 0},  // beyond the right and left edges
    };
    for (const auto& row : table) {
      form->Clear->click();  // the intake's scale: 0..N across N pixels
      std::fill(sim().U().begin(), sim().U().end(), 1.0f);
      std::fill(sim().V().begin(), sim().V().end(), 1.0f);
      const bool activator = row.picture == 1;
      PictureBox& box = activator ? *form->Picture1 : *form->Picture2;
      auto down = activator ? &frmMain::Picture1_MouseDown : &frmMain::Picture2_MouseDown;
      auto move = activator ? &frmMain::Picture1_MouseMove : &frmMain::Picture2_MouseMove;
      auto up = activator ? &frmMain::Picture1_MouseUp : &frmMain::Picture2_MouseUp;
      (form.get()->*down)(1, 0, 40, 5);
      const QImage before = box.Image();
      (form.get()->*move)(1, 0, row.x, row.y);
      (form.get()->*up)(1, 0, row.x, row.y);
      const Buffer& edited = activator ? sim().U() : sim().V();
      const Buffer& other = activator ? sim().V() : sim().U();
      for (int i = 0; i <= 128; ++i) {
        QCOMPARE(edited[std::size_t(i)], i == 40 ? 5.0f : i == row.cell ? row.value : 1.0f);
        QCOMPARE(other[std::size_t(i)], 1.0f);
      }
      if (row.cell < 0) QCOMPARE(box.Image(), before);  // nothing drawn either
      if (row.cell < 0) continue;
      const int column = int(std::floor(row.x));
      const qint64 bar = activator ? 0xFF0000 : 0x0000FF;
      QCOMPARE(box.GetPixel(column, box.AreaHeight() - 1), row.value > 0 ? bar : qint64(0xFFFFFF));
      QCOMPARE(box.GetPixel(column, 0), row.value == 10.0f ? bar : qint64(0xFFFFFF));
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
    form->Picture2_MouseDown(1, 0, 126.9f, 12.0f);  // on the border above the area
    QCOMPARE(sim().V()[127], Vmax);
  }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"

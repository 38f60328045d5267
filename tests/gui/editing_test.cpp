// The editing tools through the window's own handlers: brush and preview,
// swatches, stroke state, spiral seed, profile drawing.
#include <QSet>
#include <array>
#include <cmath>
#include <tuple>

#include "core/constants.h"
#include "form_fixture.h"
#include "ui/picture_box.h"

using namespace rdsim;

namespace {

constexpr qint64 kGreen = 0x00FF00, kRed = 0xFF0000;

template <typename Has>
QSet<QPoint> Where(const QRect& area, Has has) {
  QSet<QPoint> found;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (has(x, y)) found.insert(QPoint(x, y));
  return found;
}
QSet<QPoint> PixelsOf(const PictureBox& p, qint64 color) {
  return Where({0, 0, p.AreaWidth(), p.AreaHeight()}, [&](int x, int y) { return p.GetPixel(x, y) == color; });
}
QSet<QPoint> CellsEqualTo(const Buffer& cells, int n, float value) {
  return Where({0, 0, n, n}, [&](int x, int y) { return cells[std::size_t(x + y * n)] == value; });
}

// One 8-connected line one pixel wide: connected, and no pixel with more
// than two neighbours on it.
bool ThinConnected(const QSet<QPoint>& points) {
  QSet<QPoint> seen;
  QList<QPoint> todo(points.begin(), points.isEmpty() ? points.end() : std::next(points.begin()));
  while (!todo.isEmpty()) {
    const QPoint p = todo.takeLast();
    const QSet<QPoint> near = Where({p - QPoint(1, 1), QSize(3, 3)},
                                    [&](int x, int y) { return QPoint(x, y) != p && points.contains(QPoint(x, y)); });
    if (near.size() > 2) return false;
    seen.insert(p);
    todo += (near - seen).values();
  }
  return !points.isEmpty() && seen.size() == points.size();
}

// The spiral's arcs for a field of n cells drawn on a ground of other colours:
// the pixels they leave green, or none if they changed any other pixel.
QSet<QPoint> SpiralArcs(int n) {
  QWidget parent;
  PictureBox picture(&parent);
  picture.Place(0, 0, n + 4, n + 4);
  QImage ground(n, n, QImage::Format_RGB32);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) ground.setPixel(x, y, qRgb(x, 0, y));
  picture.Blit(ground);
  const double last = n - 1;
  for (int i = 0; i < 400; ++i)
    picture.Circle(float(0.5 * last), float(0.4 * last), float(i * 0.00125 * last), kGreen, float(i * 0.0157),
                   float((i + 1) * 0.0157));
  const QSet<QPoint> green = PixelsOf(picture, kGreen);
  const auto changed = [&](int x, int y) { return picture.GetPixel(x, y) != (ground.pixel(x, y) & 0xFFFFFF); };
  return Where({0, 0, n, n}, changed) == green ? green : QSet<QPoint>();
}

}  // namespace

class EditingTest : public QObject, FormFixture {
  Q_OBJECT

  void SetBrush(int radius, int intensity) {
    form->Slider1->setValue(radius);
    form->Slider2->setValue(intensity);
  }
  void Dab(float x, float y) {
    form->Picture3_MouseDown(1, 0, x, y);
    form->Picture3_MouseUp(1, 0, x, y);
  }
  int PreviewCount(qint64 color) { return PixelsOf(*form->Picture5, color).size(); }

 private slots:
  void init() { OpenForm(); }
  void cleanup() { QVERIFY2(errors.empty(), qPrintable(Error())); }

  // A dab replaces the cells of its species within the disc, clipped to the field, in both buffers, marks their
  // own pixels and leaves the rest alone. Radius 0 takes only a cell centre; the preview shows the whole disc.
  void dabsPaintTheirDiscInBothBuffersOfOneSpecies() {
    const struct {
      int swatch;
      float x, y;
      int radius, intensity, cells;
      QRect box;
      float value;
      qint64 mark;
    } table[] = {
        {0, 40, 17, 0, 255, 1, {40, 17, 1, 1}, 10, kRed},
        {0, 40.4f, 16.6f, 0, 255, 0, {}, 10, kRed},
        {0, 60, 60, 7, 255, 149, {53, 53, 15, 15}, 10, kRed},
        {0, 0, 0, 7, 255, 45, {0, 0, 8, 8}, 10, kRed},
        {0, 127, 127, 7, 255, 45, {120, 120, 8, 8}, 10, kRed},
        {0, -3, 50, 7, 255, 41, {0, 44, 5, 13}, 10, kRed},
        {0, -7.6f, 50, 7, 255, 0, {}, 10, kRed},
        {0, 10, 10, 2, 128, 13, {8, 8, 5, 5}, 5.019608f, 0x800000},
        {1, 10, 10, 2, 255, 13, {8, 8, 5, 5}, 10, 0x0000FF},
        {1, 10, 10, 3, 51, 29, {7, 7, 7, 7}, 2.0f, 0x000033},
        {1, 10, 10, 1, 0, 5, {9, 9, 3, 3}, 0, 0},
    };
    Enter2D();
    form->Picture3->SetBackColor(0xFFFFFF);
    Buffer* const buffers[] = {&sim().U(), &sim().U2(), &sim().V(), &sim().V2()};
    for (const auto& row : table) {
      for (Buffer* b : buffers) std::fill(b->begin(), b->end(), 3.0f);
      form->Picture3->Cls();
      form->Picture6_Click(row.swatch);
      SetBrush(row.radius, row.intensity);
      QCOMPARE(PreviewCount(row.mark), (QList{1, 5, 13, 29, 0, 0, 0, 149}[row.radius]));
      Dab(row.x, row.y);
      const QSet<QPoint> painted = CellsEqualTo(*buffers[2 * row.swatch], 128, row.value);
      QRect bounds;
      for (const QPoint& p : painted) bounds |= QRect(p, QSize(1, 1));
      QCOMPARE(painted.size(), row.cells);
      QCOMPARE(bounds, row.box);
      QCOMPARE(PixelsOf(*form->Picture3, row.mark), painted);
      // Both buffers of the species alike; everything else, the spare element included, keeps its value.
      for (int b = 0; b < 4; ++b) {
        const bool mine = b / 2 == row.swatch;
        QCOMPARE(CellsEqualTo(*buffers[b], 128, row.value), mine ? painted : QSet<QPoint>());
        QCOMPARE(std::count(buffers[b]->begin(), buffers[b]->end(), 3.0f),
                 qsizetype(128 * 128 + 1) - (mine ? row.cells : 0));
      }
    }
  }

  void previewFollowsSlidersAndSwatches() {
    // Drawn at start-up although the tools are hidden; the largest disc fills it.
    QCOMPARE(PreviewCount(kRed), 149);
    form->Slider1->setValue(12);
    QCOMPARE(PreviewCount(kRed), 441);
    // While the thumb is dragged the preview follows the value it reaches.
    form->Slider1->setSliderDown(true);
    form->Slider1->setValue(3);
    QCOMPARE(PreviewCount(kRed), 29);
    for (int index : {1, 0}) {  // the chosen species bright, the other dimmed
      form->Picture6_Click(index);
      QCOMPARE(session().BrushOnActivator, index == 0);
      QCOMPARE(form->Picture6[0]->BackColor(), index ? 0x7F0000u : 0xFF0000u);
      QCOMPARE(form->Picture6[1]->BackColor(), index ? 0x0000FFu : 0x00007Fu);
      QCOMPARE(PreviewCount(index ? 0x0000FF : kRed), 29);
    }
    form->Picture6_Click(2);  // no such swatch
    QVERIFY(session().BrushOnActivator);
  }

  void strokesStartOnlyWithTheLeftButtonAndEndOnAnyRelease() {
    Enter2D();
    SetBrush(0, 255);
    form->Picture3_MouseDown(2, 0, 5, 5);  // right button
    form->Picture3_MouseMove(2, 0, 6, 6);
    form->Picture3_MouseDown(1, 0, 5, 5);
    form->Picture3_MouseMove(3, 0, 7, 5);  // the left button still held, with another
    form->Picture1_MouseDown(1, 0, 3, 4);  // another picture's press starts nothing
    QCOMPARE(sim().U()[3], 0.0f);
    form->Picture3_MouseUp(2, 0, 0, 0);  // any button ends the stroke
    form->Picture3_MouseMove(1, 0, 9, 5);
    QCOMPARE(PixelsOf(*form->Picture3, kRed), (QSet<QPoint>{{5, 5}, {6, 5}, {7, 5}}));
  }

  void paintingDuringARunIsWhatTheNextStepsIntegrate() {
    Enter2D("32");
    SetBrush(3, 255);
    // Some steps in, then ten more, so that either pair may hold the newest field.
    int painted = 0;
    RunWhile([&](int steps) {
      if (painted == 0 && steps >= 7) Dab(16, 16), painted = steps;
      return painted == 0 || steps < painted + 10;
    });
    // The cleared field stays uniform unless the disc took part in the steps.
    QVERIFY(painted > 0);
    QVERIFY(sim().U()[16 + 16 * 32] > sim().U()[0] + 1.0f);
  }

  // Without a radius the spiral's cells are its arcs, one thin line; with
  // one, a disc stands at each arc pixel no earlier disc reaches, in scan order.
  void spiralStampsTheBrushAlongItsArcs() {
    // Where the picture is smaller than the field, the rest reads as not green.
    Enter2D();
    SetBrush(0, 255);
    form->Picture3->SetWidth(74);
    form->Picture3->SetHeight(74);
    form->Spiral->click();
    const QSet<QPoint> stamped = CellsEqualTo(sim().U(), 128, 10.0f);
    QVERIFY(!stamped.isEmpty());
    for (const QPoint& p : stamped) QVERIFY(p.x() < 70 && p.y() < 70);
    for (int n : {128, 100, 41, 7}) {
      Enter2D(QByteArray::number(n).constData());
      form->Picture6_Click(0);
      SetBrush(0, 255);
      form->Spiral->click();
      const QSet<QPoint> curve = CellsEqualTo(sim().U(), n, 10.0f);
      QCOMPARE(CellsEqualTo(sim().U(), n, 0.0f).size(), n * n - curve.size());
      QCOMPARE(PixelsOf(*form->Picture3, kRed), curve);
      QCOMPARE(curve, SpiralArcs(n));  // arcs that take back only their own corners
      QVERIFY2(ThinConnected(curve), QByteArray::number(n));
      form->Clear->click();
      SetBrush(7, 255);
      form->Spiral->click();
      QVERIFY(PixelsOf(*form->Picture3, kGreen).isEmpty());
      QSet<QPoint> discs;
      for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
          if (curve.contains(QPoint(x, y)) && !discs.contains(QPoint(x, y)))
            discs |= Where({0, 0, n, n}, [&](int i, int j) { return std::hypot(i - x, j - y) <= 7; });
      QCOMPARE(CellsEqualTo(sim().U(), n, 10.0f), discs);
      // With the inhibitor selected the activator stays as it is.
      const Buffer u = sim().U();
      form->Picture6_Click(1);
      form->Spiral->click();
      QCOMPARE(sim().U(), u);
      QCOMPARE(CellsEqualTo(sim().V(), n, 10.0f), discs);
    }
  }

  // A drag gives the cells between two reported positions what an event on each would: a fast drag (one move
  // per corner) leaves the same buffers and pictures as a slow one over the same path (one move per cell).
  void fastDragsDrawWhatSlowDragsDraw() {
    // picture (1, 2 the profiles, 3 the field), brush radius, the corners of the path
    const std::tuple<int, int, QList<QPointF>> table[] = {
        {3, 0, {{10, 10}, {30, 10}, {30, 40}, {10, 20}, {10, 19}}},
        {3, 2, {{10, 20}, {50, 30}, {-20, 40}, {120, 131}}},  // leaves the field twice
        {1, 0, {{10, 2}, {50, 7}, {18, 3}, {-14, 11}}},       // beyond the left edge
        {2, 0, {{100, 9}, {68, 1}, {140, 19}, {139, 0}}},     // above the scale and beyond the right edge
    };
    for (const auto& [picture, radius, corners] : table) {
      const auto drag = [&, picture = picture, radius = radius, &corners = corners](bool slow) {
        const auto move = std::array{&frmMain::Picture1_MouseMove, &frmMain::Picture2_MouseMove,
                                     &frmMain::Picture3_MouseMove}[picture - 1];
        form->Option1[picture == 3]->click();
        form->Clear->click();
        SetBrush(radius, 255);
        (form.get()->*std::array{&frmMain::Picture1_MouseDown, &frmMain::Picture2_MouseDown,
                                 &frmMain::Picture3_MouseDown}[picture - 1])(1, 0, corners[0].x(), corners[0].y());
        for (int c = 1; c < corners.size(); ++c) {
          const QPointF a = corners[c - 1], d = corners[c] - a;
          const double cells = std::max(std::abs(d.x()), picture == 3 ? std::abs(d.y()) : 0.0);
          for (double i = slow ? 1 : cells; i <= cells; ++i)
            (form.get()->*move)(1, 0, float(a.x() + d.x() * i / cells), float(a.y() + d.y() * i / cells));
        }
        form->Picture3_MouseUp(1, 0, 0, 0);
        return std::tuple(sim().U(), sim().V(), sim().U2(), sim().V2(),
                          std::array{form->Picture1, form->Picture2, form->Picture3}[picture - 1]->Image());
      };
      QVERIFY2(drag(true) == drag(false), qPrintable(QString::number(picture)));
    }
  }

  // A press, and each move after it, writes the cell nearest the pointer (ties to even), pinned to the scale. One
  // beyond the first or last cell (-1) writes and draws nothing; in the last column's right half x rounds to N.
  void profileCellsFollowThePointer() {
    const struct {
      int picture;
      bool press;
      float x, y;
      int cell;
      float value;
    } table[] = {
        {1, false, 5, 3.2f, 5, 3.2f},     {2, false, 5, 3.2f, 5, 3.2f}, {1, false, 2.5f, 4, 2, 4},
        {2, false, 3.5f, 4, 4, 4},        {2, false, 60, 14, 60, Vmax}, {1, false, 60, -3, 60, 0},
        {1, false, 127.2f, 5, -1, 0},     {2, false, -0.2f, 5, -1, 0},  {1, true, 127.7f, 6, -1, 0},
        {2, true, 126.9f, 12, 127, Vmax},
    };
    for (const auto& row : table) {
      form->Clear->click();  // the intake's scale: 0..N across N pixels
      for (Buffer* b : {&sim().U(), &sim().V()}) std::fill(b->begin(), b->end(), 1.0f);
      const bool activator = row.picture == 1;
      PictureBox& box = activator ? *form->Picture1 : *form->Picture2;
      const auto down = activator ? &frmMain::Picture1_MouseDown : &frmMain::Picture2_MouseDown;
      const auto move = activator ? &frmMain::Picture1_MouseMove : &frmMain::Picture2_MouseMove;
      if (!row.press) (form.get()->*down)(1, 0, row.x, 5);  // in the same column: no cells to join
      const QImage before = box.Image();
      (form.get()->*(row.press ? down : move))(1, 0, row.x, row.y);
      QVERIFY(session().MouseDrawing);  // even a press beyond the cells starts the stroke
      (form.get()->*(activator ? &frmMain::Picture1_MouseUp : &frmMain::Picture2_MouseUp))(1, 0, 0, 0);
      const Buffer& edited = activator ? sim().U() : sim().V();
      for (int i = 0; i <= 128; ++i) {
        QCOMPARE(edited[std::size_t(i)], i == row.cell ? row.value : 1.0f);
        QCOMPARE((activator ? sim().V() : sim().U())[std::size_t(i)], 1.0f);
      }
      if (row.cell < 0) QCOMPARE(box.Image(), before);
      if (row.cell < 0) continue;
      const qint64 bar = activator ? kRed : 0x0000FF, white = 0xFFFFFF;  // drawn in the pointer's column
      QCOMPARE(box.GetPixel(int(row.x), box.AreaHeight() - 1), row.value > 0 ? bar : white);
      QCOMPARE(box.GetPixel(int(row.x), 0), row.value == 10.0f ? bar : white);
    }
  }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"

#include <QElapsedTimer>
#include <QPaintEvent>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <cmath>
#include <numbers>
#include <queue>

#include "image_io/raster.h"
#include "ui/picture_box.h"

using rdsim::PictureBox;
namespace raster = rdsim::raster;

namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kGreen = 0x00FF00;
constexpr double kPi = std::numbers::pi;

QSet<QPoint> PixelsOf(const QImage& image, QRgb color) {
  QSet<QPoint> set;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (raster::PixelAt(image, x, y) == qint64(color)) set.insert(QPoint(x, y));
  return set;
}

int ColumnCount(const QImage& image, int x, QRgb color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) n += raster::PixelAt(image, x, y) == qint64(color);
  return n;
}

// All pixels of the set reachable from one another through 8-neighbours.
bool Connected8(const QSet<QPoint>& set) {
  if (set.isEmpty()) return true;
  QSet<QPoint> seen{*set.begin()};
  std::queue<QPoint> todo;
  todo.push(*set.begin());
  while (!todo.empty()) {
    const QPoint p = todo.front();
    todo.pop();
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const QPoint q = p + QPoint(dx, dy);
        if (set.contains(q) && !seen.contains(q)) {
          seen.insert(q);
          todo.push(q);
        }
      }
  }
  return seen.size() == set.size();
}

// A 4-connected flood from `from` that cannot cross the outline: a gap-free
// closed outline keeps it off the image edge.
bool EnclosedBy(const QSet<QPoint>& outline, QPoint from, QSize size) {
  QSet<QPoint> seen{from};
  std::queue<QPoint> todo;
  todo.push(from);
  while (!todo.empty()) {
    const QPoint p = todo.front();
    todo.pop();
    if (p.x() == 0 || p.y() == 0 || p.x() == size.width() - 1 || p.y() == size.height() - 1) return false;
    for (QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
      const QPoint q = p + d;
      if (!outline.contains(q) && !seen.contains(q)) {
        seen.insert(q);
        todo.push(q);
      }
    }
  }
  return true;
}

// Paint events seen by a picture, to tell queued repaints from immediate ones.
class CountingPicture : public PictureBox {
 public:
  using PictureBox::PictureBox;
  int paints = 0;
  QRegion lastRegion;

 protected:
  void paintEvent(QPaintEvent* event) override {
    ++paints;
    lastRegion = event->region();
    PictureBox::paintEvent(event);
  }
};

}  // namespace

class PictureBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void areaFollowsOuterSizeAndBorder();
  void borderIsDrawnAroundTheImage();
  void drawingQueuesOneRepaintOfTheDirtyPart();
  void scaleMapsUserUnitsToPixels();
  void barsFillColumnsFromTheBottom_data();
  void barsFillColumnsFromTheBottom();
  void linesIncludeBothEndsWithoutGaps_data();
  void linesIncludeBothEndsWithoutGaps();
  void clippingKeepsTheLinesPixels();
  void farAndInfiniteEndsAreClippedQuickly();
  void circleOutlinesAreClosedAndArcsOnTheirSide();
  void hugeCirclesAreWalkedOnlyWhereVisible();
  void blitCopiesPixelsUnchanged();
  void resizeKeepsPixelsAndFillsNewArea();
  void clsAndBackColour();
  void pointerIsCapturedAfterAPress();
};

void PictureBoxTest::areaFollowsOuterSizeAndBorder() {
  QWidget parent;
  PictureBox bordered(&parent);
  PictureBox plain(&parent, false);

  bordered.Place(10, 20, 54, 66);
  plain.Place(10, 20, 54, 66);
  QCOMPARE(bordered.geometry(), QRect(10, 20, 54, 66));
  QCOMPARE(QSize(bordered.AreaWidth(), bordered.AreaHeight()), QSize(50, 62));
  QCOMPARE(bordered.Image().size(), QSize(50, 62));
  QCOMPARE(bordered.Image().format(), QImage::Format_RGB32);
  QCOMPARE(QSize(plain.AreaWidth(), plain.AreaHeight()), QSize(54, 66));
  // Pixel scale by default: the scale extent is the area in pixels.
  QCOMPARE(bordered.ScaleWidth(), 50.0);
  QCOMPARE(bordered.ScaleHeight(), 62.0);

  // Half pixels round to even; one setter moves one edge only.
  bordered.Place(0.5, 1.5, 10.5, 11.5);
  QCOMPARE(bordered.geometry(), QRect(0, 2, 10, 12));
  bordered.SetLeft(7.5);
  bordered.SetTop(3.4);
  bordered.SetWidth(29.5);
  bordered.SetHeight(4.6);
  QCOMPARE(bordered.geometry(), QRect(8, 3, 30, 5));
  QCOMPARE(QSize(bordered.AreaWidth(), bordered.AreaHeight()), QSize(26, 1));

  // Smaller than the border: no area, and drawing does nothing.
  bordered.SetHeight(3);
  QCOMPARE(bordered.AreaHeight(), 0);
  bordered.Line(0, 0, 10, 10, kRed);
  bordered.Circle(5, 5, 3, kRed, 0, 0);
  QCOMPARE(bordered.GetPixel(0, 0), qint64(-1));
}

void PictureBoxTest::borderIsDrawnAroundTheImage() {
  QWidget parent;
  PictureBox picture(&parent);
  picture.Place(0, 0, 20, 16);
  picture.SetBackColor(0x102030);
  picture.PSet(0, 0, kRed);
  const QImage shot = picture.grab().toImage();
  auto at = [&](int x, int y) { return shot.pixel(x, y) & 0xFFFFFF; };
  QCOMPARE(at(0, 0), 0xA0A0A0u);  // outer top/left
  QCOMPARE(at(0, 8), 0xA0A0A0u);
  QCOMPARE(at(1, 1), 0x696969u);  // inner top/left
  QCOMPARE(at(10, 1), 0x696969u);
  QCOMPARE(at(19, 15), 0xFFFFFFu);  // outer bottom/right
  QCOMPARE(at(19, 0), 0xFFFFFFu);
  QCOMPARE(at(0, 15), 0xFFFFFFu);
  QCOMPARE(at(18, 14), 0xE3E3E3u);  // inner bottom/right
  QCOMPARE(at(18, 1), 0xE3E3E3u);
  QCOMPARE(at(2, 2), kRed);  // the image starts inside the border
  QCOMPARE(at(17, 13), 0x102030u);

  PictureBox plain(&parent, false);
  plain.Place(0, 0, 25, 25);
  plain.PSet(0, 0, kRed);
  plain.PSet(24, 24, kGreen);
  const QImage plainShot = plain.grab().toImage();
  QCOMPARE(plainShot.pixel(0, 0) & 0xFFFFFF, kRed);
  QCOMPARE(plainShot.pixel(24, 24) & 0xFFFFFF, kGreen);
}

void PictureBoxTest::drawingQueuesOneRepaintOfTheDirtyPart() {
  CountingPicture picture(nullptr);
  picture.Place(100, 100, 104, 104);
  picture.show();
  QVERIFY(QTest::qWaitForWindowExposed(&picture));
  QTRY_VERIFY(picture.paints > 0);
  QCoreApplication::processEvents();
  const int before = picture.paints;

  for (int i = 0; i < 20; ++i) picture.PSet(10 + i, 30, kRed);
  picture.Line(10, 31, 29, 40, kRed);
  QCOMPARE(picture.paints, before);  // nothing painted synchronously
  QTRY_COMPARE(picture.paints, before + 1);
  QCoreApplication::processEvents();
  QCOMPARE(picture.paints, before + 1);
  // Only the touched pixels, shifted by the border, were repainted.
  QCOMPARE(picture.lastRegion.boundingRect(), QRect(12, 32, 20, 11));
}

void PictureBoxTest::scaleMapsUserUnitsToPixels() {
  QWidget parent;
  PictureBox picture(&parent);
  picture.Place(0, 0, 8, 66);  // 4 x 62 area
  picture.Scale(0, 10, 4, 0);
  QCOMPARE(picture.ScaleWidth(), 4.0);
  QCOMPARE(picture.ScaleHeight(), -10.0);
  for (int i = 0; i <= 4; ++i) QCOMPARE(picture.PixelX(i), double(i));
  QCOMPARE(picture.PixelY(10), 0.0);
  QCOMPARE(picture.PixelY(0), 62.0);
  QCOMPARE(picture.PixelY(5), 31.0);
  QCOMPARE(picture.UserX(2), 2.0);
  QCOMPARE(picture.UserY(31), 5.0);
  QCOMPARE(picture.UserY(62), 0.0);

  // y = 0 lies on the lower edge of the area: just outside, clipped.
  picture.PSet(1, 0, kRed);
  picture.PSet(1, 10, kGreen);
  QCOMPARE(PixelsOf(picture.Image(), kRed).size(), 0);
  QCOMPARE(picture.GetPixel(1, 0), qint64(kGreen));

  // An empty range would divide by zero: it leaves the scale as it was.
  picture.Scale(0, 10, 0, 0);
  QCOMPARE(picture.ScaleWidth(), 4.0);

  picture.ScalePixels();
  QCOMPARE(picture.PixelX(3.5), 3.5);
  QCOMPARE(picture.UserY(7), 7.0);
  QCOMPARE(picture.ScaleHeight(), 62.0);
}

void PictureBoxTest::barsFillColumnsFromTheBottom_data() {
  QTest::addColumn<float>("value");
  QTest::addColumn<int>("topRow");  // 62 = empty column
  QTest::newRow("full") << 10.0f << 0;
  QTest::newRow("half") << 5.0f << 31;
  QTest::newRow("zero") << 0.0f << 62;
  QTest::newRow("negative") << -3.0f << 62;
  QTest::newRow("above the top") << 25.0f << 0;
  QTest::newRow("far above") << 1e30f << 0;
  QTest::newRow("infinite") << INFINITY << 0;
  QTest::newRow("tenth") << 1.0f << 55;  // floor(9 * 6.2)
}

void PictureBoxTest::barsFillColumnsFromTheBottom() {
  QFETCH(float, value);
  QFETCH(int, topRow);
  QWidget parent;
  PictureBox picture(&parent);
  picture.Place(0, 0, 8, 66);
  picture.Scale(0, 10, 4, 0);
  picture.Line(2, 0, 2, value, kRed);
  const QImage& image = picture.Image();
  for (int y = 0; y < 62; ++y) QCOMPARE(picture.GetPixel(2, y), qint64(y >= topRow ? kRed : kWhite));
  for (int x : {0, 1, 3}) QCOMPARE(ColumnCount(image, x, kRed), 0);

  // The erase-then-draw sequence of a profile column leaves only the new bar.
  picture.Line(2, 0, 2, 10, kWhite);
  picture.Line(2, 0, 2, 5, kRed);
  QCOMPARE(ColumnCount(image, 2, kRed), 31);
}

void PictureBoxTest::linesIncludeBothEndsWithoutGaps_data() {
  QTest::addColumn<QPoint>("a");
  QTest::addColumn<QPoint>("b");
  QTest::newRow("point") << QPoint(5, 5) << QPoint(5, 5);
  QTest::newRow("horizontal") << QPoint(3, 7) << QPoint(30, 7);
  QTest::newRow("vertical") << QPoint(3, 30) << QPoint(3, 2);
  QTest::newRow("45 degrees") << QPoint(1, 1) << QPoint(30, 30);
  QTest::newRow("anti-diagonal") << QPoint(30, 1) << QPoint(1, 30);
  QTest::newRow("shallow") << QPoint(0, 3) << QPoint(39, 11);
  QTest::newRow("shallow leftwards") << QPoint(39, 3) << QPoint(0, 12);
  QTest::newRow("steep") << QPoint(4, 0) << QPoint(13, 39);
  QTest::newRow("steep upwards") << QPoint(20, 39) << QPoint(7, 0);
  QTest::newRow("half slope ties") << QPoint(0, 0) << QPoint(10, 5);
}

void PictureBoxTest::linesIncludeBothEndsWithoutGaps() {
  QFETCH(QPoint, a);
  QFETCH(QPoint, b);
  QImage image = raster::Blank(40, 40, kWhite);
  // Mid-pixel positions fall on the same pixels as the integer ones.
  const QRect dirty = raster::DrawLine(image, a.x() + 0.7, a.y() + 0.2, b.x() + 0.1, b.y() + 0.9, kRed);
  const QSet<QPoint> drawn = PixelsOf(image, kRed);
  QVERIFY(drawn.contains(a));
  QVERIFY(drawn.contains(b));
  const int dx = std::abs(b.x() - a.x()), dy = std::abs(b.y() - a.y());
  QCOMPARE(drawn.size(), std::max(dx, dy) + 1);  // one pixel per major step
  QVERIFY(Connected8(drawn));
  QCOMPARE(dirty, QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                        QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))));
  // Every pixel is the nearest one to the ideal line along the minor axis.
  for (const QPoint& p : drawn) {
    const double t =
        dx >= dy ? (dx ? double(p.x() - a.x()) / (b.x() - a.x()) : 0) : double(p.y() - a.y()) / (b.y() - a.y());
    const double ideal = dx >= dy ? a.y() + t * (b.y() - a.y()) : a.x() + t * (b.x() - a.x());
    QVERIFY(std::fabs((dx >= dy ? p.y() : p.x()) - ideal) <= 0.5);
  }
  // Drawn the other way round it covers the same pixels.
  QImage reverse = raster::Blank(40, 40, kWhite);
  raster::DrawPixelLine(reverse, b.x(), b.y(), a.x(), a.y(), kRed);
  QCOMPARE(PixelsOf(reverse, kRed), drawn);
}

void PictureBoxTest::clippingKeepsTheLinesPixels() {
  // The same lines in a small image and in a large one around it: the small
  // one must show exactly the large one's pixels over its own area.
  const QPoint offset(100, 100);
  const QList<QLine> lines = {QLine(-37, -11, 91, 40), QLine(-5, 60, 25, -70),  QLine(-200, 3, 250, 17),
                              QLine(7, -90, 12, 150),  QLine(-60, -60, 79, 79), QLine(45, 2, -80, 19)};
  for (const QLine& line : lines) {
    QImage small = raster::Blank(20, 20, kWhite);
    QImage large = raster::Blank(220, 220, kWhite);
    const QRect dirty = raster::DrawPixelLine(small, line.x1(), line.y1(), line.x2(), line.y2(), kRed);
    raster::DrawPixelLine(large, line.x1() + offset.x(), line.y1() + offset.y(), line.x2() + offset.x(),
                          line.y2() + offset.y(), kRed);
    QSet<QPoint> expected;
    for (const QPoint& p : PixelsOf(large, kRed))
      if (QRect(offset, QSize(20, 20)).contains(p)) expected.insert(p - offset);
    QCOMPARE(PixelsOf(small, kRed), expected);
    QRect bounds;
    for (const QPoint& p : expected) bounds |= QRect(p, QSize(1, 1));
    QCOMPARE(dirty, bounds);
  }
}

void PictureBoxTest::farAndInfiniteEndsAreClippedQuickly() {
  QElapsedTimer timer;
  timer.start();
  {
    // Ends a million pixels out: still the exact diagonal.
    QImage image = raster::Blank(50, 50, kWhite);
    raster::DrawLine(image, -1e6, -1e6, 1e6 + 0.5, 1e6 + 0.5, kRed);
    QSet<QPoint> diagonal;
    for (int i = 0; i < 50; ++i) diagonal.insert(QPoint(i, i));
    QCOMPARE(PixelsOf(image, kRed), diagonal);
  }
  {
    // Far beyond the exact integer range: the direction survives the clip.
    QImage image = raster::Blank(50, 50, kWhite);
    raster::DrawLine(image, -1e30, -1e30, 1e30, 1e30, kRed);
    raster::DrawLine(image, 10, 0, 10, INFINITY, kGreen);
    raster::DrawLine(image, -INFINITY, 20, 5, 20, kGreen);
    for (int i = 0; i < 50; ++i) {
      if (i != 10) QCOMPARE(raster::PixelAt(image, i, i), qint64(kRed));
      QCOMPARE(raster::PixelAt(image, 10, i), qint64(kGreen));
    }
    QCOMPARE(ColumnCount(image, 10, kGreen), 50);
    for (int x = 0; x <= 5; ++x) QCOMPARE(raster::PixelAt(image, x, 20), qint64(kGreen));
    QCOMPARE(raster::PixelAt(image, 6, 20), qint64(kWhite));
    QCOMPARE(PixelsOf(image, kRed).size(), 49);
  }
  {
    // Nothing of these lines reaches the area, and NaN draws nothing.
    QImage image = raster::Blank(50, 50, kWhite);
    QVERIFY(raster::DrawLine(image, -1e300, 60, 1e300, 61, kRed).isEmpty());
    QVERIFY(raster::DrawLine(image, 1e6, -1e6, 2e6, 1e6, kRed).isEmpty());
    QVERIFY(raster::DrawPixelLine(image, -(qint64(1) << 62), 0, -(qint64(1) << 61), 49, kRed).isEmpty());
    QVERIFY(raster::DrawLine(image, NAN, 1, 5, 5, kRed).isEmpty());
    QCOMPARE(PixelsOf(image, kRed).size(), 0);
  }
  {
    // Through the picture in a user scale, with single-precision ends.
    QWidget parent;
    PictureBox picture(&parent);
    picture.Place(0, 0, 54, 54);
    picture.Scale(0, 10, 50, 0);
    picture.Line(-1e6f, 5, 1e6f, 5, kRed);
    QCOMPARE(PixelsOf(picture.Image(), kRed).size(), 50);
    for (int x = 0; x < 50; ++x) QCOMPARE(picture.GetPixel(x, 25), qint64(kRed));
  }
  QVERIFY(timer.elapsed() < 2000);
}

void PictureBoxTest::circleOutlinesAreClosedAndArcsOnTheirSide() {
  for (double r : {1.0, 3.0, 10.0, 19.5}) {
    QImage image = raster::Blank(41, 41, kWhite);
    raster::DrawArc(image, 20, 20, r, 0, 0, kRed);  // equal angles: full circle
    const QSet<QPoint> ring = PixelsOf(image, kRed);
    QVERIFY(Connected8(ring));
    if (r >= 3) QVERIFY2(EnclosedBy(ring, QPoint(20, 20), image.size()), "outline has a gap");
    for (const QPoint& p : ring) {
      // Each pixel touches the ideal circle (the pixel square spans [p, p+1)).
      const double nearX = std::clamp(20.0, double(p.x()), p.x() + 1.0);
      const double nearY = std::clamp(20.0, double(p.y()), p.y() + 1.0);
      QVERIFY(std::hypot(nearX - 20, nearY - 20) <= r + 1e-9);
      QVERIFY(std::hypot(std::max(std::fabs(p.x() - 20.0), std::fabs(p.x() + 1 - 20.0)),
                         std::max(std::fabs(p.y() - 20.0), std::fabs(p.y() + 1 - 20.0))) >= r - 1e-9);
    }
  }

  // Upper half (0 to pi) and lower half (pi to 0, wrapping), ends included.
  QImage upper = raster::Blank(41, 41, kWhite);
  raster::DrawArc(upper, 20, 20, 10, 0, kPi, kRed);
  QImage lower = raster::Blank(41, 41, kWhite);
  raster::DrawArc(lower, 20, 20, 10, kPi, 0, kRed);
  const QSet<QPoint> top = PixelsOf(upper, kRed), bottom = PixelsOf(lower, kRed);
  QVERIFY(Connected8(top));
  QVERIFY(Connected8(bottom));
  for (const QPoint& p : top) QVERIFY(p.y() <= 20);
  for (const QPoint& p : bottom) QVERIFY(p.y() >= 20);
  for (const QPoint& end : {QPoint(30, 20), QPoint(10, 20)}) {
    QVERIFY(top.contains(end));
    QVERIFY(bottom.contains(end));
  }
  QVERIFY(top.contains(QPoint(20, 10)));
  QVERIFY(bottom.contains(QPoint(20, 30)));

  // A quarter from pi/2 to pi: up and to the left only.
  QImage quarter = raster::Blank(41, 41, kWhite);
  raster::DrawArc(quarter, 20, 20, 10, kPi / 2, kPi, kRed);
  for (const QPoint& p : PixelsOf(quarter, kRed)) QVERIFY(p.x() <= 20 && p.y() <= 20);

  // In a y-up user scale the upper half still ends up on top of the screen,
  // and the radius follows the x unit.
  QWidget parent;
  PictureBox picture(&parent);
  picture.Place(0, 0, 44, 44);
  picture.Scale(0, 20, 20, 0);  // two pixels per unit
  picture.Circle(10, 10, 5, kRed, 0, float(kPi));
  const QSet<QPoint> arc = PixelsOf(picture.Image(), kRed);
  QVERIFY(Connected8(arc));
  QVERIFY(arc.contains(QPoint(30, 20)));
  QVERIFY(arc.contains(QPoint(20, 10)));
  QVERIFY(arc.contains(QPoint(10, 20)));
  for (const QPoint& p : arc) QVERIFY(p.y() <= 20);
}

void PictureBoxTest::hugeCirclesAreWalkedOnlyWhereVisible() {
  QElapsedTimer timer;
  timer.start();
  QImage image = raster::Blank(40, 40, kWhite);
  // A circle a billion pixels wide whose leftmost point sits in column 5.
  raster::DrawArc(image, 1e9 + 5.5, 20, 1e9, 0, 0, kRed);
  QCOMPARE(ColumnCount(image, 5, kRed), 40);
  QCOMPARE(PixelsOf(image, kRed).size(), 40);
  // Only its lower-right quarter: nothing of it reaches the picture.
  QImage empty = raster::Blank(40, 40, kWhite);
  QVERIFY(raster::DrawArc(empty, 1e9 + 5.5, 20, 1e9, 1.5 * kPi, 2 * kPi - 1e-3, kRed).isEmpty());
  // Wholly outside, absurd or undefined circles draw nothing.
  QVERIFY(raster::DrawArc(empty, 20, 20, 1e30, 0, 0, kRed).isEmpty());
  QVERIFY(raster::DrawArc(empty, 500, 500, 10, 0, 0, kRed).isEmpty());
  QVERIFY(raster::DrawArc(empty, 20, 20, NAN, 0, 0, kRed).isEmpty());
  QCOMPARE(PixelsOf(empty, kRed).size(), 0);
  QVERIFY(timer.elapsed() < 2000);
}

void PictureBoxTest::blitCopiesPixelsUnchanged() {
  QWidget parent;
  PictureBox picture(&parent);
  picture.Place(0, 0, 8, 8);  // 4 x 4
  QImage source(3, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) source.setPixel(x, y, qRgb(x * 80 + 1, y * 90 + 2, 7));
  picture.Blit(source);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const qint64 expected = x < 3 && y < 2 ? qint64(source.pixel(x, y) & 0xFFFFFF) : kWhite;
      QCOMPARE(picture.GetPixel(x, y), expected);
    }

  // Too large a source is clipped; transparency does not blend the colour.
  QImage wide(10, 10, QImage::Format_ARGB32);
  wide.fill(qRgba(12, 34, 56, 0));
  picture.Blit(wide);
  QCOMPARE(picture.GetPixel(3, 3), qint64(0x0C2238));
  QCOMPARE(picture.Image().pixel(3, 3) >> 24, 0xFFu);  // stays opaque RGB32

  for (QPoint outside : {QPoint(-1, 0), QPoint(0, -1), QPoint(4, 0), QPoint(0, 4)})
    QCOMPARE(picture.GetPixel(outside.x(), outside.y()), qint64(-1));
}

void PictureBoxTest::resizeKeepsPixelsAndFillsNewArea() {
  QWidget parent;
  PictureBox picture(&parent);
  picture.Place(0, 0, 14, 14);  // 10 x 10, hidden: must still follow at once
  picture.SetBackColor(0x000080);
  picture.PSet(0, 0, kRed);
  picture.PSet(9, 9, kGreen);
  picture.Place(0, 0, 24, 19);
  QCOMPARE(QSize(picture.AreaWidth(), picture.AreaHeight()), QSize(20, 15));
  QCOMPARE(picture.GetPixel(0, 0), qint64(kRed));
  QCOMPARE(picture.GetPixel(9, 9), qint64(kGreen));
  QCOMPARE(picture.GetPixel(19, 14), qint64(0x000080));
  QCOMPARE(picture.GetPixel(10, 0), qint64(0x000080));
  QCOMPARE(PixelsOf(picture.Image(), 0x000080).size(), 20 * 15 - 2);

  // Shrinking drops the far part; growing again refills it with the back colour.
  picture.SetWidth(10);
  picture.SetWidth(24);
  QCOMPARE(picture.GetPixel(0, 0), qint64(kRed));
  QCOMPARE(picture.GetPixel(9, 9), qint64(0x000080));

  // A user scale stretches with the area.
  picture.Scale(0, 0, 1, 1);
  picture.PSet(0.5f, 0.5f, kRed);
  QCOMPARE(picture.GetPixel(10, 7), qint64(kRed));
}

void PictureBoxTest::clsAndBackColour() {
  QWidget parent;
  PictureBox swatch(&parent);
  swatch.Place(0, 0, 21, 20);
  QCOMPARE(swatch.BackColor(), kWhite);
  QCOMPARE(PixelsOf(swatch.Image(), kWhite).size(), 17 * 16);  // starts blank

  swatch.Line(0, 0, 16, 15, kGreen);
  swatch.SetBackColor(kRed);  // a swatch shows its new colour at once
  QCOMPARE(swatch.BackColor(), kRed);
  QCOMPARE(PixelsOf(swatch.Image(), kRed).size(), 17 * 16);

  swatch.Circle(8, 8, 5, kGreen, 0, 0);
  QVERIFY(!PixelsOf(swatch.Image(), kGreen).isEmpty());
  swatch.Cls();
  QCOMPARE(PixelsOf(swatch.Image(), kRed).size(), 17 * 16);
}

void PictureBoxTest::pointerIsCapturedAfterAPress() {
  QWidget window;
  window.resize(300, 200);
  PictureBox picture(&window);
  picture.Place(10, 10, 54, 66);  // area from window pixel (12, 12)
  QWidget neighbour(&window);
  neighbour.setGeometry(100, 0, 200, 200);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QWindow* handle = window.windowHandle();
  QVERIFY(handle);

  QSignalSpy downs(&picture, &PictureBox::MouseDown);
  QSignalSpy moves(&picture, &PictureBox::MouseMove);
  QSignalSpy ups(&picture, &PictureBox::MouseUp);
  QSignalSpy clicks(&picture, &PictureBox::Click);
  auto args = [](const QList<QVariant>& a) {
    return QList<double>{a[0].toDouble(), a[1].toDouble(), a[2].toDouble(), a[3].toDouble()};
  };

  // Qt reports a move to the press position first if the pointer was
  // elsewhere; the tests move there beforehand and look at the latest move.
  auto moveTo = [&](QPoint p) {
    moves.clear();
    QTest::mouseMove(handle, p);
    return !QTest::qWaitFor([&] { return !moves.isEmpty(); }) ? QList<double>() : args(moves.last());
  };

  // Pixel scale: a press on pixel (5, 7) reports exactly (5, 7).
  QCOMPARE(moveTo(QPoint(17, 19)), (QList<double>{0, 0, 5, 7}));
  QTest::mousePress(handle, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(17, 19));
  QCOMPARE(downs.size(), 1);
  QCOMPARE(args(downs.takeFirst()), (QList<double>{1, 3, 5, 7}));
  // Over the neighbour and beyond the window: still ours, with the button held.
  QCOMPARE(moveTo(QPoint(150, 50)), (QList<double>{1, 0, 138, 38}));
  QCOMPARE(moveTo(QPoint(-40, 250)), (QList<double>{1, 0, -52, 238}));
  moveTo(QPoint(150, 60));
  QTest::mouseRelease(handle, Qt::LeftButton, Qt::AltModifier, QPoint(150, 60));
  QCOMPARE(ups.size(), 1);
  QCOMPARE(args(ups.takeFirst()), (QList<double>{1, 4, 138, 48}));
  QCOMPARE(clicks.size(), 0);  // released outside: no click

  // In user units, and a release inside clicks.
  picture.Scale(0, 0, 100, -124);  // two units per pixel, y up
  moveTo(QPoint(17, 19));
  QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(17, 19));
  QCOMPARE(args(downs.takeFirst()), (QList<double>{1, 0, 10, -14}));
  QCOMPARE(moveTo(QPoint(2, 12)), (QList<double>{1, 0, -20, 0}));
  moveTo(QPoint(20, 20));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(20, 20));
  QCOMPARE(args(ups.takeFirst()), (QList<double>{1, 0, 16, -16}));
  QCOMPARE(clicks.size(), 1);

  // Other buttons are coded, and a right click is no Click.
  QTest::mousePress(handle, Qt::RightButton, {}, QPoint(20, 20));
  QTest::mouseRelease(handle, Qt::RightButton, {}, QPoint(20, 20));
  QCOMPARE(args(downs.takeFirst())[0], 2.0);
  QCOMPARE(args(ups.takeFirst())[0], 2.0);
  QCOMPARE(clicks.size(), 1);

  // Hover without buttons reaches the picture under the pointer only.
  QCOMPARE(moveTo(QPoint(30, 30)), (QList<double>{0, 0, 36, -36}));
  moves.clear();
  QTest::mouseMove(handle, QPoint(150, 30));
  QTest::qWait(20);
  QCOMPARE(moves.size(), 0);
}

QTEST_MAIN(PictureBoxTest)
#include "picture_box_test.moc"

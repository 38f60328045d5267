#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

// Drawing primitives of the picture boxes, written straight into the scanlines
// of a Format_RGB32 image so that they can be tested without a window and cost
// no painter set-up per call.
//
// Positions are continuous pixel coordinates: pixel (i, j) covers
// [i, i+1) x [j, j+1), so a position falls on pixel (floor(x), floor(y)).
// Colours are 0xRRGGBB (any alpha byte is ignored). Every drawing function
// returns the rectangle of pixels it wrote, empty when nothing fell inside.
namespace rdsim::raster {

// A fresh RGB32 image of the given size filled with `fill`; null for an empty size.
QImage Blank(int width, int height, QRgb fill);

// `image` at a new size: the old pixels stay at the top-left, new area gets `fill`.
QImage Resized(const QImage& image, int width, int height, QRgb fill);

QRect Fill(QImage& image, QRgb color);

QRect SetPixel(QImage& image, double x, double y, QRgb color);

// One-pixel line between the pixels holding the two end positions, both end
// pixels included, 8-connected. Far-away or infinite ends are clipped before
// any pixel is visited; NaN draws nothing.
QRect DrawLine(QImage& image, double x0, double y0, double x1, double y1, QRgb color);

// The same line between two integer pixels. The pixels drawn are exactly those
// of the unclipped line that lie in the image, independent of the direction.
QRect DrawPixelLine(QImage& image, qint64 x0, qint64 y0, qint64 x1, qint64 y1, QRgb color);

// Arc of the circle around (cx, cy) from `start` counterclockwise to `end`
// (radians, 0 to the right, pi/2 up on screen: the point at angle t is
// (cx + r cos t, cy - r sin t)). end < start wraps once around; end == start
// is the full circle. One-pixel, 8-connected outline. Only the part of the
// arc that can reach the image is walked, so huge circles stay cheap.
QRect DrawArc(QImage& image, double cx, double cy, double radius, double start, double end, QRgb color);

// A one-pixel curve drawn in several pieces, such as a spiral made of short
// arcs. Each new pixel is joined to the last by an 8-connected line, and a
// pixel that the new one turns into the corner of a staircase (its neighbours
// on the chain touch each other) gets its earlier colour back, so that the
// pieces add up to one curve one pixel wide.
class PixelChain {
 public:
  // Forgets the chain: the next pixel starts a new one.
  void Reset() { count_ = 0; }
  // Continues the chain from a pixel drawn by other means, which is never
  // taken back.
  void StartAt(qint64 x, qint64 y);
  bool Started() const { return count_ > 0; }
  // Adds pixel (x, y) in `color`; returns the rectangle of pixels changed.
  QRect Extend(QImage& image, qint64 x, qint64 y, QRgb color);

 private:
  struct Link {
    qint64 x = 0, y = 0;
    QRgb under = 0;     // colour before the chain drew it
    bool ours = false;  // drawn by the chain, so it may be taken back
  };
  QRect Step(QImage& image, qint64 x, qint64 y, QRgb color);
  Link last_[2];  // [0] the one before the last, [1] the last
  int count_ = 0;
};

// The arc of DrawArc, added to `chain`: its pixels continue the chain from
// where the last piece ended. On an empty chain, and for arcs too long to walk
// pixel by pixel, the arc is drawn by DrawArc and the chain restarts at its end.
QRect ExtendArc(QImage& image, PixelChain& chain, double cx, double cy, double radius, double start, double end,
                QRgb color);

// Copies `source` into `target` at (0, 0), pixel for pixel; the part that does
// not fit is dropped.
QRect Blit(QImage& target, const QImage& source);

// 0xRRGGBB of pixel (x, y), or -1 outside the image.
qint64 PixelAt(const QImage& image, int x, int y);

}  // namespace rdsim::raster

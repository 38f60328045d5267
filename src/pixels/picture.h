#pragma once

#include <cstdint>

#include "pixels/pixel_image.h"

namespace rdsim {

// A picture box as the behaviours draw on it: a persistent image with a user
// coordinate system and the drawing operations of a one-pixel solid pen.
// Colours are 0xRRGGBB. The window's picture boxes implement it; tests can
// implement it over a plain image.
class Picture {
 public:
  virtual ~Picture() = default;

  // The top-left corner of the drawing area becomes (x1, y1), the bottom-right
  // corner (x2, y2). With y1 > y2 the y axis points up.
  virtual void Scale(double x1, double y1, double x2, double y2) = 0;
  virtual double ScaleWidth() const = 0;   // x2 - x1
  virtual double ScaleHeight() const = 0;  // y2 - y1
  // Continuous pixel position of a user coordinate: pixel i covers [i, i+1).
  virtual double PixelX(double userX) const = 0;
  virtual double PixelY(double userY) const = 0;

  // Also clears the picture to the new colour.
  virtual void SetBackColor(std::uint32_t color) = 0;
  virtual void Cls() = 0;
  virtual void PSet(float x, float y, std::uint32_t color) = 0;
  virtual void Line(float x1, float y1, float x2, float y2, std::uint32_t color) = 0;
  // Arc from start to end (radians) counterclockwise; consecutive arcs of one
  // centre and colour join into one line one pixel wide.
  virtual void Circle(float cx, float cy, float radius, std::uint32_t color, float start, float end) = 0;
  // 0xRRGGBB, or -1 outside the drawing area.
  virtual std::int64_t GetPixel(int x, int y) const = 0;

  // The persistent image, and its replacement in one transfer.
  virtual PixelImage Pixels() const = 0;
  virtual void Blit(const PixelImage& image) = 0;

  // While a DrawingBatch lives, the drawing shows in one repaint.
  virtual void BeginBatch() = 0;
  virtual void EndBatch() = 0;
};

class DrawingBatch {
 public:
  explicit DrawingBatch(Picture& picture) : picture_(picture) { picture_.BeginBatch(); }
  ~DrawingBatch() { picture_.EndBatch(); }
  DrawingBatch(const DrawingBatch&) = delete;
  DrawingBatch& operator=(const DrawingBatch&) = delete;

 private:
  Picture& picture_;
};

}  // namespace rdsim

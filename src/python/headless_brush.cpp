#include "headless_brush.h"

namespace rdsim::python {

HeadlessPicture::HeadlessPicture(int width, int height) : image_(raster::Blank(width, height, 0xFFFFFF)) {}

void HeadlessPicture::SetBackColor(std::uint32_t color) {
  back_ = color & 0xFFFFFF;
  Cls();
}

void HeadlessPicture::Cls() {
  arcsGoOn_ = false;
  raster::Fill(image_, back_);
}

void HeadlessPicture::PSet(float x, float y, std::uint32_t color) {
  arcsGoOn_ = false;
  raster::SetPixel(image_, x, y, color);
}

void HeadlessPicture::Line(float x1, float y1, float x2, float y2, std::uint32_t color) {
  arcsGoOn_ = false;
  raster::DrawLine(image_, x1, y1, x2, y2, color);
}

void HeadlessPicture::Circle(float cx, float cy, float radius, std::uint32_t color, float start, float end) {
  const bool goesOn = arcsGoOn_ && cx == arcCx_ && cy == arcCy_ && start == arcEnd_ && (color & 0xFFFFFF) == arcColor_;
  if (!goesOn) arcs_.Reset();
  raster::ExtendArc(image_, arcs_, cx, cy, radius, start, end, color);
  arcsGoOn_ = true;
  arcCx_ = cx;
  arcCy_ = cy;
  arcEnd_ = end;
  arcColor_ = color & 0xFFFFFF;
}

PixelImage HeadlessPicture::Pixels() const {
  PixelImage copy(image_.width(), image_.height(), 0u);
  for (int y = 0; y < copy.height; ++y) {
    for (int x = 0; x < copy.width; ++x) copy.at(x, y) = static_cast<std::uint32_t>(GetPixel(x, y));
  }
  return copy;
}

void HeadlessPicture::Blit(const PixelImage& image) {
  arcsGoOn_ = false;
  raster::Blit(image_, QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                              static_cast<qsizetype>(image.width) * 4, QImage::Format_RGB32));
}

}  // namespace rdsim::python

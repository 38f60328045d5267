#pragma once

#include <QImage>

#include "edit/brush_view.h"
#include "image_io/raster.h"

namespace rdsim::python {

// A picture box without a window, pixel for user unit: what the brush marks
// and the spiral draws and reads back, drawn by the window's own primitives.
class HeadlessPicture : public Picture {
 public:
  HeadlessPicture(int width, int height);

  void Scale(double, double, double, double) override {}
  double ScaleWidth() const override { return image_.width(); }
  double ScaleHeight() const override { return image_.height(); }
  double PixelX(double userX) const override { return userX; }
  double PixelY(double userY) const override { return userY; }
  void SetBackColor(std::uint32_t color) override;
  void Cls() override;
  void PSet(float x, float y, std::uint32_t color) override;
  void Line(float x1, float y1, float x2, float y2, std::uint32_t color) override;
  void Circle(float cx, float cy, float radius, std::uint32_t color, float start, float end) override;
  std::int64_t GetPixel(int x, int y) const override { return raster::PixelAt(image_, x, y); }
  PixelImage Pixels() const override;
  void Blit(const PixelImage& image) override;
  void BeginBatch() override {}
  void EndBatch() override {}

 private:
  QImage image_;
  std::uint32_t back_ = 0xFFFFFF;
  // The arcs that continue one another, as the window's picture box joins them.
  raster::PixelChain arcs_;
  bool arcsGoOn_ = false;
  float arcCx_ = 0, arcCy_ = 0, arcEnd_ = 0;
  std::uint32_t arcColor_ = 0;
};

// The brush sliders as arguments, and a fresh field picture per tool.
class HeadlessBrush : public BrushView {
 public:
  HeadlessBrush(int n, int radius, int intensity)
      : field_(n, n), other_(1, 1), radius_(radius), intensity_(intensity) {}
  Picture& Field() override { return field_; }
  Picture& Preview() override { return other_; }
  Picture& Swatch(int) override { return other_; }
  int BrushRadius() const override { return radius_; }
  int BrushIntensity() const override { return intensity_; }

 private:
  HeadlessPicture field_, other_;
  int radius_, intensity_;
};

}  // namespace rdsim::python

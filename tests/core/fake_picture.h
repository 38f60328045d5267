#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "pixels/picture.h"

namespace rdsim::testing {

// A picture over a plain image, one pixel per user unit from (x1, y1) at the
// top left; it keeps what the behaviours asked of it.
struct FakePicture : Picture {
  PixelImage image;
  double x1 = 0, y1 = 0, x2 = 1, y2 = 1;
  int blits = 0, batches = 0;

  FakePicture(int width, int height) : image(width, height, 0u), x2(width), y2(height) {}

  void Scale(double a, double b, double c, double d) override { x1 = a, y1 = b, x2 = c, y2 = d; }
  double ScaleWidth() const override { return x2 - x1; }
  double ScaleHeight() const override { return y2 - y1; }
  double PixelX(double x) const override { return (x - x1) * image.width / (x2 - x1); }
  double PixelY(double y) const override { return (y - y1) * image.height / (y2 - y1); }
  void SetBackColor(std::uint32_t colour) override { image = PixelImage(image.width, image.height, colour); }
  void Cls() override { image = PixelImage(image.width, image.height, 0u); }
  void PSet(float x, float y, std::uint32_t colour) override { SetPixel(image, PixelX(x), PixelY(y), colour); }
  void Line(float, float, float, float, std::uint32_t) override {}
  void Circle(float, float, float, std::uint32_t, float, float) override {}
  std::int64_t GetPixel(int x, int y) const override {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return -1;
    return image.at(x, y);
  }
  PixelImage Pixels() const override { return image; }
  void Blit(const PixelImage& source) override {
    ++blits;
    for (int y = 0; y < std::min(source.height, image.height); ++y)
      for (int x = 0; x < std::min(source.width, image.width); ++x) image.at(x, y) = source.at(x, y);
  }
  void BeginBatch() override { ++batches; }
  void EndBatch() override {}
};

}  // namespace rdsim::testing

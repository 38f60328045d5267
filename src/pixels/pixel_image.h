#pragma once

#include <cstdint>
#include <vector>

namespace rdsim {

// A picture as the drawing code composes it: 0xRRGGBB pixels, row 0 at the top.
struct PixelImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width * height

  PixelImage() = default;
  PixelImage(int w, int h, std::uint32_t fill)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
  PixelImage(int w, int h, std::vector<std::uint32_t> p) : width(w), height(h), pixels(std::move(p)) {}

  std::uint32_t& at(int x, int y) {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
  std::uint32_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

// Sets the pixel that holds the continuous position (x, y), pixel i covering
// [i, i+1); a position outside the image, or NaN, sets nothing.
void SetPixel(PixelImage& image, double x, double y, std::uint32_t color);

// `top` above `bottom`, both of one width.
PixelImage Stacked(const PixelImage& top, const PixelImage& bottom);

}  // namespace rdsim

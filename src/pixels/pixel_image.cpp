#include "pixels/pixel_image.h"

#include <cmath>

#include "core/run_error.h"

namespace rdsim {

void SetPixel(PixelImage& image, double x, double y, std::uint32_t color) {
  // Written so that NaN fails too.
  if (!(x >= 0 && y >= 0 && x < image.width && y < image.height)) return;
  image.at(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))) = color & 0xFFFFFFu;
}

PixelImage Stacked(const PixelImage& top, const PixelImage& bottom) {
  if (top.width != bottom.width) throw RunError(Fault::SubscriptOutOfRange, "stacked pictures differ in width");
  PixelImage both(top.width, top.height + bottom.height, top.pixels);
  both.pixels.insert(both.pixels.end(), bottom.pixels.begin(), bottom.pixels.end());
  return both;
}

}  // namespace rdsim

#include "pixels/profile_image_pixels.h"

#include <cmath>

#include "core/run_error.h"

namespace rdsim {

PixelImage ComposeProfileImage(const Buffer& values, int n, int height, float top, std::uint32_t color) {
  return ComposeProfileImage(values, n, height, 0.0, top, color);
}

PixelImage ComposeProfileImage(const Buffer& values, int n, int height, double bottom, double top,
                               std::uint32_t color) {
  if (n < 0 || height < 0 || values.size() < static_cast<std::size_t>(n)) {
    throw RunError(Fault::SubscriptOutOfRange, "the profile is shorter than its plot");
  }
  const auto width = static_cast<std::size_t>(n);
  PixelImage image(n, height, 0xFFFFFF);
  std::vector<std::uint32_t>& pixels = image.pixels;
  for (std::size_t i = 0; i < width; ++i) {
    // The window's bar runs from the bottom edge to the pixel row holding the
    // value, in the same arithmetic as its picture scale.
    const double row = (static_cast<double>(values[i]) - top) * height / (bottom - top);
    if (!(row < height)) continue;  // at or below the bottom edge, or NaN
    const int first = row <= 0 ? 0 : static_cast<int>(std::floor(row));
    for (int y = first; y < height; ++y) pixels[static_cast<std::size_t>(y) * width + i] = color;
  }
  return image;
}

}  // namespace rdsim

#include "run/field_image_pixels.h"

#include <cmath>

#include "core/checked.h"

namespace rdsim {

std::uint8_t GreyLevel(float activator) {
  const auto p = static_cast<float>(activator * 25.5);
  if (!(p >= 0.0f)) return 0;
  if (p >= 255.0f) return 255;
  return static_cast<std::uint8_t>(RoundHalfEven(p));
}

std::vector<std::uint32_t> ComposeFieldImage(const Buffer& source, int n, int width, int height,
                                             std::uint32_t fill) {
  if (width < 0 || height < 0) throw RunError(Fault::Overflow, "the field picture has a negative size");
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
  if (n <= 0) return pixels;
  if (source.size() < static_cast<std::size_t>(n) * static_cast<std::size_t>(n)) {
    throw RunError(Fault::SubscriptOutOfRange, "the field buffer is shorter than the square of the field size");
  }
  const int rows = n < height ? n : height;
  const int columns = n < width ? n : width;
  for (int y = 0; y < rows; ++y) {
    const float* row = source.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(n);
    std::uint32_t* out = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < columns; ++x) {
      const std::uint32_t g = GreyLevel(row[x]);
      out[x] = (g << 16) | (g << 8) | g;
    }
  }
  return pixels;
}

}  // namespace rdsim

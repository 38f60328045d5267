#include "pixels/field_image_pixels.h"

#include "core/run_error.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace rdsim {

namespace {

// Limits to 0..255, a NaN to 0. The SSE form has no branch, which a noisy
// field would mispredict at every other pixel.
inline float ClampToByteRange(float p) {
#if defined(__SSE2__)
  __m128 v = _mm_max_ss(_mm_set_ss(p), _mm_setzero_ps());  // a NaN takes the second operand
  v = _mm_min_ss(v, _mm_set_ss(255.0f));
  return _mm_cvtss_f32(v);
#else
  if (!(p > 0.0f)) return 0.0f;
  return p < 255.0f ? p : 255.0f;
#endif
}

inline std::uint8_t Grey(float activator) {
  const float p = ClampToByteRange(static_cast<float>(activator * 25.5));
  // Adding and removing 2^23 rounds to the nearest integer, ties to even,
  // without a library call per pixel.
  constexpr float TwoPow23 = 8388608.0f;
  const float shifted = p + TwoPow23;
  return static_cast<std::uint8_t>(shifted - TwoPow23);
}

}  // namespace

std::uint8_t GreyLevel(float activator) { return Grey(activator); }

// The AVX copy matters beyond speed: other code in the window process leaves
// the upper vector state dirty, and legacy SSE code then waits on it at every
// pixel (about seven times slower).
__attribute__((target_clones("avx2", "default"))) PixelImage ComposeFieldImage(const Buffer& source, int n, int width,
                                                                               int height, std::uint32_t fill,
                                                                               const Palette& palette) {
  if (width < 0 || height < 0) throw RunError(Fault::Overflow, "the field picture has a negative size");
  PixelImage image(width, height, fill);
  std::vector<std::uint32_t>& pixels = image.pixels;
  if (n <= 0) return image;
  if (source.size() < static_cast<std::size_t>(n) * static_cast<std::size_t>(n)) {
    throw RunError(Fault::SubscriptOutOfRange, "the field buffer is shorter than the square of the field size");
  }
  const int rows = n < height ? n : height;
  const int columns = n < width ? n : width;
  // Grey keeps its arithmetic form, which vectorises; a table lookup does not.
  // The default palette is known by its address, with no table compare.
  const bool grey = &palette == &GreyPalette() || palette.IsGrey();
  for (int y = 0; y < rows; ++y) {
    const float* row = source.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(n);
    std::uint32_t* out = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    if (grey) {
      for (int x = 0; x < columns; ++x) {
        const std::uint32_t g = Grey(row[x]);
        out[x] = (g << 16) | (g << 8) | g;
      }
    } else {
      for (int x = 0; x < columns; ++x) out[x] = palette.colours[Grey(row[x])];
    }
  }
  return image;
}

}  // namespace rdsim

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "analysis/dominant_wavelength.h"
#include "core/noise_fill.h"
#include "core/run_error.h"

namespace rdsim {
namespace {

constexpr double Pi = std::numbers::pi;

std::vector<float> Field(Mode mode, int n, const std::function<double(int x, int y)>& value) {
  const int rows = mode == Mode::TwoD ? n : 1;
  std::vector<float> cells(static_cast<std::size_t>(n * rows));
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < n; ++x) cells[static_cast<std::size_t>(y * n + x)] = static_cast<float>(value(x, y));
  }
  return cells;
}

struct WaveCase {
  const char* what;
  Mode mode;
  int n;
  std::function<double(int, int)> field;
  double wavelength;
  double tolerance;  // relative
};

TEST(DominantWavelength, FindsTheWavelengthOfACosineField) {
  const WaveCase cases[] = {
      // A mode of the grid: exact.
      {"line, grid mode 12", Mode::OneD, 128, [](int x, int) { return 5 + 2 * std::cos(Pi * 12 * x / 127); },
       254.0 / 12, 1e-6},
      {"line, 10 cells", Mode::OneD, 128, [](int x, int) { return 5 + 2 * std::cos(2 * Pi * x / 10); }, 10, 0.02},
      {"short line, 4 cells", Mode::OneD, 9, [](int x, int) { return std::cos(Pi * 4 * x / 8); }, 4, 1e-6},
      {"square, grid mode (9, 25)", Mode::TwoD, 128,
       [](int x, int y) { return 4 + std::cos(Pi * 9 * x / 127) * std::cos(Pi * 25 * y / 127); },
       254.0 / std::hypot(9, 25), 1e-6},
      {"square, stripes of 12 cells across", Mode::TwoD, 64, [](int x, int) { return 3 + std::cos(2 * Pi * x / 12); },
       12, 0.03},
      {"square, diagonal stripes of 9 cells", Mode::TwoD, 96,
       [](int x, int y) { return 3 + std::cos(2 * Pi * (x + y) / (9 * std::sqrt(2.0))); }, 9, 0.04},
      {"square, spots of 16 cells on a small ripple", Mode::TwoD, 80,
       [](int x, int y) {
         return 5 + std::cos(2 * Pi * x / 16) + std::cos(2 * Pi * y / 16) + 0.1 * std::cos(2 * Pi * x / 5);
       },
       16, 0.03},
  };
  for (const WaveCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<float> cells = Field(c.mode, c.n, c.field);
    const std::optional<double> found = DominantWavelength(cells, c.mode, c.n);
    ASSERT_TRUE(found);
    EXPECT_NEAR(*found, c.wavelength, c.tolerance * c.wavelength);
  }
}

TEST(DominantWavelength, AUniformFieldHasNone) {
  for (const Mode mode : {Mode::OneD, Mode::TwoD}) {
    EXPECT_FALSE(DominantWavelength(Field(mode, 32, [](int, int) { return 4.0; }), mode, 32));
    // Rounding-size wobble is not a pattern.
    EXPECT_FALSE(DominantWavelength(Field(mode, 32, [](int x, int) { return 4.0 + 1e-5 * (x % 2); }), mode, 32));
    EXPECT_FALSE(DominantWavelength(Field(mode, 32, [](int x, int) { return x == 3 ? NAN : 1.0 * x; }), mode, 32));
  }
  // Noise has some peak, never a wavelength beyond the grid's.
  std::vector<float> u(64 * 64), v(64 * 64);
  FillNoise(u, v, u.size(), 7);
  const std::optional<double> noise = DominantWavelength(u, Mode::TwoD, 64);
  ASSERT_TRUE(noise);
  EXPECT_GE(*noise, std::sqrt(2.0) * 0.99);
  EXPECT_LE(*noise, 126.0);
}

TEST(DominantWavelength, RefusesAFieldShorterThanItsCells) {
  const std::vector<float> line(10, 1.0f);
  EXPECT_THROW(DominantWavelength(line, Mode::TwoD, 10), RunError);
  EXPECT_THROW(DominantWavelength(line, Mode::OneD, 11), RunError);
  EXPECT_THROW(DominantWavelength(line, Mode::OneD, 1), RunError);
  EXPECT_NO_THROW(DominantWavelength(line, Mode::OneD, 10));
}

}  // namespace
}  // namespace rdsim

#include "analysis/dominant_wavelength.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "core/constants.h"
#include "core/run_error.h"

namespace rdsim {

namespace {

// The cosine transform of the mirror grid (half weights at the two ends make
// the modes orthogonal), one row per mode m: table[m * n + i].
std::vector<double> CosineTable(int n) {
  const auto cells = static_cast<std::size_t>(n);
  std::vector<double> table(cells * cells);
  for (std::size_t m = 0; m < cells; ++m) {
    for (std::size_t i = 0; i < cells; ++i) {
      const double weight = i == 0 || i + 1 == cells ? 0.5 : 1.0;
      const double angle = std::numbers::pi * static_cast<double>(m * i) / (n - 1);
      table[m * cells + i] = weight * std::cos(angle);
    }
  }
  return table;
}

struct Ring {
  double power = 0;
  double weightedK = 0;  // sum of power * |k|
  int modes = 0;
};

}  // namespace

std::optional<double> DominantWavelength(std::span<const float> cells, Mode mode, int n) {
  if (n < 2 || n > MaxFieldSize) {
    throw RunError(Fault::SubscriptOutOfRange, "a field of " + std::to_string(n) + " cells per side");
  }
  const auto side = static_cast<std::size_t>(n);
  const std::size_t rows = mode == Mode::TwoD ? side : 1;
  const std::size_t count = side * rows;
  if (cells.size() < count) throw RunError(Fault::SubscriptOutOfRange, "the field is shorter than its cells");

  double mean = 0;
  for (std::size_t i = 0; i < count; ++i) mean += cells[i];
  mean /= static_cast<double>(count);
  double variance = 0;
  for (std::size_t i = 0; i < count; ++i) variance += (cells[i] - mean) * (cells[i] - mean);
  variance /= static_cast<double>(count);
  if (!(std::sqrt(variance) >= UniformFieldDeviation) || !std::isfinite(variance)) return std::nullopt;

  const std::vector<double> table = CosineTable(n);
  // Along x for every row, then along y: coefficient[ky * side + kx].
  std::vector<double> alongX(count);
  for (std::size_t y = 0; y < rows; ++y) {
    for (std::size_t m = 0; m < side; ++m) {
      double sum = 0;
      for (std::size_t x = 0; x < side; ++x) sum += table[m * side + x] * (cells[y * side + x] - mean);
      alongX[y * side + m] = sum;
    }
  }
  std::vector<double> coefficient = alongX;
  if (mode == Mode::TwoD) {
    for (std::size_t ky = 0; ky < side; ++ky) {
      for (std::size_t m = 0; m < side; ++m) {
        double sum = 0;
        for (std::size_t y = 0; y < side; ++y) sum += table[ky * side + y] * alongX[y * side + m];
        coefficient[ky * side + m] = sum;
      }
    }
  }

  // Rings of width 1 in |k|; the mean power per mode of a ring is the
  // radially averaged spectrum.
  std::vector<Ring> rings(static_cast<std::size_t>(std::ceil(std::sqrt(2.0) * side)) + 2);
  for (std::size_t ky = 0; ky < rows; ++ky) {
    for (std::size_t kx = 0; kx < side; ++kx) {
      const double k = std::hypot(static_cast<double>(kx), static_cast<double>(ky));
      const double a = coefficient[ky * side + kx];
      Ring& ring = rings[static_cast<std::size_t>(std::lround(k))];
      ring.power += a * a;
      ring.weightedK += a * a * k;
      ++ring.modes;
    }
  }
  std::size_t peak = 0;
  double peakPower = 0;
  for (std::size_t r = 1; r < rings.size(); ++r) {
    if (rings[r].modes == 0) continue;
    const double averaged = rings[r].power / rings[r].modes;
    if (averaged > peakPower) {
      peakPower = averaged;
      peak = r;
    }
  }
  if (peak == 0) return std::nullopt;
  double power = 0, weightedK = 0;
  for (std::size_t r = peak - 1; r <= peak + 1 && r < rings.size(); ++r) {
    if (r == 0) continue;
    power += rings[r].power;
    weightedK += rings[r].weightedK;
  }
  return 2.0 * (n - 1) / (weightedK / power);
}

}  // namespace rdsim

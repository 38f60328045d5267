#include "analysis/grid_modes.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "core/constants.h"
#include "core/run_error.h"

namespace rdsim::analysis {

LineModes ModesOfLine(int n) {
  if (n < 2) throw RunError(Fault::SubscriptOutOfRange, "the field needs at least 2 cells per side");
  if (n > MaxFieldSize) {
    throw RunError(Fault::SubscriptOutOfRange,
                   "the field has at most " + std::to_string(MaxFieldSize) + " cells per side");
  }
  LineModes modes;
  modes.n = n;
  modes.neighbourSum.resize(static_cast<std::size_t>(n));
  modes.mu.resize(static_cast<std::size_t>(n));
  const double last = n - 1;
  const double spacing = dx;
  for (int m = 0; m < n; ++m) {
    const double half = std::numbers::pi * m / (2.0 * last);
    const double s = std::sin(half);
    // cos(2h) = 1 - 2 sin^2(h): exact 2 at m = 0 and -2 at m = N-1.
    modes.neighbourSum[static_cast<std::size_t>(m)] = 2.0 - 4.0 * s * s;
    modes.mu[static_cast<std::size_t>(m)] = 4.0 / (spacing * spacing) * s * s;
  }
  return modes;
}

double WavelengthInCells(int m, int n, int cells) {
  const double k = n < 0 ? std::abs(m) : std::hypot(m, n);
  if (k == 0) return std::numeric_limits<double>::infinity();
  return 2.0 * (cells - 1) / k;
}

}  // namespace rdsim::analysis

#include "analysis/stability_verdict.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "analysis/grid_modes.h"

namespace rdsim::analysis {

namespace {

constexpr int KindCount = 5;

GrowthKind KindOf(const ModeFactors& mode, std::complex<double> f) {
  // I + dt M has the eigenvalues 1 + dt lambda: decay in continuous time is Re f < 1.
  if (f.real() <= 1.0 + GrowthTolerance) return GrowthKind::NumericalInstability;
  const bool oscillates = f.imag() != 0;
  if (mode.m == 0 && mode.n <= 0) return oscillates ? GrowthKind::UniformOscillation : GrowthKind::UniformRunaway;
  return oscillates ? GrowthKind::OscillatingPattern : GrowthKind::StationaryPattern;
}

bool IsPattern(GrowthKind kind) {
  return kind == GrowthKind::StationaryPattern || kind == GrowthKind::OscillatingPattern;
}

}  // namespace

std::vector<Growth> ClassifyGrowth(const std::vector<ModeFactors>& modes, int cells) {
  std::array<Growth, KindCount> best;
  std::array<bool, KindCount> found{};
  for (int k = 0; k < KindCount; ++k) {
    best[static_cast<std::size_t>(k)].kind = static_cast<GrowthKind>(k);
    best[static_cast<std::size_t>(k)].shortestWavelength = std::numeric_limits<double>::infinity();
  }
  for (const ModeFactors& mode : modes) {
    for (const std::complex<double> f : mode.factors) {
      const double size = std::abs(f);
      if (!(size > 1.0 + GrowthTolerance)) continue;
      const auto k = static_cast<std::size_t>(KindOf(mode, f));
      Growth& g = best[k];
      const double wavelength = WavelengthInCells(mode.m, mode.n, cells);
      g.shortestWavelength = std::min(g.shortestWavelength, wavelength);
      g.longestWavelength = std::max(g.longestWavelength, wavelength);
      if (!found[k] || size > g.perStep) {
        found[k] = true;
        g.m = mode.m;
        g.n = mode.n;
        g.mu = mode.mu;
        g.factor = f;
        g.perStep = size;
        g.wavelength = wavelength;
      }
    }
  }

  double uniform = 1.0;
  for (const GrowthKind kind : {GrowthKind::UniformOscillation, GrowthKind::UniformRunaway}) {
    const auto k = static_cast<std::size_t>(kind);
    if (found[k]) uniform = std::max(uniform, best[k].perStep);
  }
  std::vector<Growth> growth;
  for (std::size_t k = 0; k < KindCount; ++k) {
    if (!found[k]) continue;
    Growth g = best[k];
    if (IsPattern(g.kind) && g.perStep <= uniform) continue;
    g.log10Per1000Steps = 1000.0 * std::log10(g.perStep);
    g.per1000Steps = std::pow(g.perStep, 1000.0);
    const double turn = std::abs(std::arg(g.factor));
    g.periodSteps = turn > 0 ? 2.0 * std::numbers::pi / turn : 0.0;
    g.acrossField = std::isinf(g.wavelength) ? 0.0 : cells / g.wavelength;
    growth.push_back(g);
  }
  std::stable_sort(growth.begin(), growth.end(),
                   [](const Growth& x, const Growth& y) { return x.perStep > y.perStep; });
  return growth;
}

}  // namespace rdsim::analysis

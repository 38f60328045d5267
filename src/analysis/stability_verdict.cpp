#include "analysis/stability_verdict.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

#include "analysis/grid_modes.h"
#include "core/constants.h"

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

std::string FactorText(double factor) {
  char text[64];
  const double gap = std::abs(factor - 1.0);
  if (!(gap < 1e-4) || gap == 0) {
    std::snprintf(text, sizeof text, "%.6g", factor);
  } else {
    // Two significant digits of the difference.
    const int decimals = std::min(1 - static_cast<int>(std::floor(std::log10(gap))), 17);
    std::snprintf(text, sizeof text, "%.*f", decimals, factor);
  }
  return text;
}

std::string NumericalGrowthAdvice(const Growth& g) {
  char text[512];
  if (g.factor.real() >= 0) {
    // |1 + dt lambda|^2 = 1 + 2 dt Re(lambda) + dt^2 |lambda|^2: a slowly damped swing gains the last term.
    std::snprintf(text, sizeof text,
                  "This growth comes from the time step with the kinetics' oscillation: each step adds a little to a "
                  "swing of %.4g steps that decays slowly in continuous time. Slower kinetics (smaller k0, k1, k4, "
                  "k5) or more damping (a larger decay k3, a more negative k5) help; smaller diffusion does not.",
                  g.periodSteps);
  } else if (std::isinf(g.longestWavelength)) {
    std::snprintf(text, sizeof text, "%s",
                  "This growth comes from the time step with the kinetics: even the uniform field relaxes faster "
                  "than one step can follow, so each step overshoots, and diffusion adds to it in short waves. "
                  "A slower relaxation (a smaller decay k3, k0 and k5 nearer 0) helps.");
  } else {
    // Diffusion alone multiplies the shortest wave by 1 - 4 * dims * D dt / dx^2.
    const double dims = g.n < 0 ? 1.0 : 2.0;
    const double largest = static_cast<double>(dx) * static_cast<double>(dx) / (2.0 * dims * static_cast<double>(dt));
    std::snprintf(text, sizeof text,
                  "This growth comes from the time step with diffusion: waves of %.3g to %.3g cells even out "
                  "faster than one step can follow, and each step overshoots. Smaller diffusion constants (k7, k8) "
                  "help; without the kinetics the step holds for D up to %.3g on this grid.",
                  g.shortestWavelength, g.longestWavelength, largest);
  }
  return text;
}

}  // namespace rdsim::analysis

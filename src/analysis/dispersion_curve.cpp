#include "analysis/dispersion_curve.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "analysis/grid_modes.h"
#include "analysis/report_number.h"
#include "analysis/stability_verdict.h"

namespace rdsim {

namespace {

// "+0.245 %", "-1.2 %": growth per step as a percentage, sign always shown.
std::string Percent(double growth) { return FormatValue("%+.3g", 100.0 * growth) + " %"; }

std::string Per1000(const Growth& g) {
  if (std::isfinite(g.per1000Steps)) return "×" + FormatValue("%.3g", g.per1000Steps);
  return "×10^" + FormatValue("%.0f", g.log10Per1000Steps);
}

// 1, 2, 2.5 or 5 times a power of ten, near span / count.
double NiceStep(double span, int count) {
  const double raw = span / count;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 2.5, 5.0}) {
    if (raw <= factor * power) return factor * power;
  }
  return 10.0 * power;
}

void GrowthRange(DispersionCurve& curve) {
  double hi = -std::numeric_limits<double>::infinity(), lo = std::numeric_limits<double>::infinity();
  for (const DispersionDot& dot : curve.dots) {
    hi = std::max(hi, dot.growth);
    lo = std::min(lo, dot.growth);
  }
  double top, bottom;
  if (hi > analysis::GrowthTolerance) {
    // The growing modes take at least a third of the height.
    top = hi;
    bottom = std::max(lo, -2.0 * hi);
  } else {
    // Nothing grows: show the slowest decays under a zero line with room above.
    const double slowest = std::max(-hi, 1e-6);
    top = 0.5 * slowest;
    bottom = std::max(lo, -4.0 * slowest);
  }
  if (!(top > bottom)) bottom = top - 1e-6;
  const double pad = 0.08 * (top - bottom);
  curve.growthCeiling = top + pad;
  curve.growthFloor = bottom - pad;

  const double step = NiceStep(curve.growthCeiling - curve.growthFloor, 6);
  int decimals = 0;  // enough to tell the ticks apart, in per cent
  while (decimals < 8 && std::abs(100.0 * step * std::pow(10.0, decimals) -
                                  std::round(100.0 * step * std::pow(10.0, decimals))) > 1e-6) {
    ++decimals;
  }
  for (double k = std::ceil(curve.growthFloor / step); k * step <= curve.growthCeiling; k += 1) {
    const double value = k == 0 ? 0.0 : k * step;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, 100.0 * value);
    curve.growthTicks.push_back({value, value == 0 ? "0" : text});
  }
}

void WavelengthRange(DispersionCurve& curve) {
  double shortest = std::numeric_limits<double>::infinity(), longest = 0;
  for (const DispersionDot& dot : curve.dots) {
    if (std::isinf(dot.wavelength)) continue;
    shortest = std::min(shortest, dot.wavelength);
    longest = std::max(longest, dot.wavelength);
  }
  if (!(longest > shortest * 1.01)) {  // a grid of 2 cells has one finite wavelength
    shortest = (std::isfinite(shortest) ? shortest : 2.0) / 1.5;
    longest = shortest * 2.25;
  }
  curve.shortestWavelength = shortest;
  curve.longestWavelength = longest;
  for (double power = std::pow(10.0, std::floor(std::log10(shortest))); power <= longest; power *= 10) {
    for (const double factor : {1.0, 2.0, 5.0}) {
      const double value = factor * power;
      if (value >= shortest * (1 - 1e-9) && value <= longest * (1 + 1e-9)) {
        curve.wavelengthTicks.push_back({value, FormatValue("%g", value)});
      }
    }
  }
}

}  // namespace

DispersionCurve MakeDispersionCurve(const StateStability& state, int cells) {
  DispersionCurve curve;
  curve.dots.reserve(state.modes.size());
  for (const ModeFactors& mode : state.modes) {
    DispersionDot dot;
    dot.m = mode.m;
    dot.n = mode.n;
    dot.wavelength = analysis::WavelengthInCells(mode.m, mode.n, cells);
    const std::complex<double> f = mode.factors[0];
    dot.growth = std::abs(f) - 1.0;
    if (dot.growth > analysis::GrowthTolerance) dot.kind = f.imag() != 0 ? DotKind::GrowsOscillating : DotKind::Grows;
    dot.onAxis = mode.n <= 0;
    curve.dots.push_back(dot);
  }
  for (std::size_t i = 0; i < curve.dots.size(); ++i) {
    if (curve.dots[i].onAxis && std::isfinite(curve.dots[i].wavelength)) curve.curve.push_back(i);
  }
  std::stable_sort(curve.curve.begin(), curve.curve.end(),
                   [&](std::size_t a, std::size_t b) { return curve.dots[a].wavelength > curve.dots[b].wavelength; });

  for (const Growth& g : state.growth) curve.bands.push_back({g.kind, g.shortestWavelength, g.longestWavelength});
  // The verdict counts the long waves that grow slower than the uniform mode
  // as its tail; the shading shows them as part of the uniform mode's band.
  const auto uniform = std::find_if(curve.bands.begin(), curve.bands.end(), [](const GrowthBand& band) {
    return band.kind == GrowthKind::UniformOscillation || band.kind == GrowthKind::UniformRunaway;
  });
  if (uniform != curve.bands.end()) {
    for (std::size_t i = 0; i < curve.dots.size(); ++i) {
      const DispersionDot& dot = curve.dots[i];
      const bool euler = state.modes[i].factors[0].real() <= 1.0 + analysis::GrowthTolerance;
      if (dot.kind == DotKind::Decays || euler || std::isinf(dot.wavelength)) continue;
      const bool banded = std::any_of(curve.bands.begin(), curve.bands.end(), [&](const GrowthBand& band) {
        return dot.wavelength >= band.shortest && dot.wavelength <= band.longest;
      });
      if (!banded) uniform->shortest = std::min(uniform->shortest, dot.wavelength);
    }
  }
  if (!state.growth.empty()) {
    const Growth& g = state.growth.front();
    for (std::size_t i = 0; i < curve.dots.size(); ++i) {
      if (curve.dots[i].m == g.m && curve.dots[i].n == g.n) {
        curve.hasFastest = true;
        curve.fastest = i;
        break;
      }
    }
    curve.fastestLabel = std::isinf(g.wavelength) ? "fastest: the uniform mode, " + Percent(g.perStep - 1) + " per step"
                                                  : "fastest: " + FormatValue("%.3g", g.wavelength) + " cells, " +
                                                        Percent(g.perStep - 1) + " per step";
  }
  WavelengthRange(curve);
  GrowthRange(curve);
  return curve;
}

std::string StabilityHeadline(const StateStability& state) {
  if (state.growth.empty()) {
    double slowest = 0;
    for (const ModeFactors& mode : state.modes) slowest = std::max(slowest, std::abs(mode.factors[0]));
    return "Stable: every mode decays, the slowest by " + FormatValue("%.3g", 100.0 * (1.0 - slowest)) +
           " % per step. The field settles to this uniform state.";
  }
  const Growth& g = state.growth.front();
  const std::string rate = Percent(g.perStep - 1) + " per step (" + Per1000(g) + " per 1000 steps)";
  const std::string period = g.periodSteps > 0 ? ", period " + FormatValue("%.4g", g.periodSteps) + " steps" : "";
  const std::string band = "; growing band " + FormatValue("%.3g", g.shortestWavelength) + " to " +
                           (std::isinf(g.longestWavelength) ? std::string("the uniform mode")
                                                            : FormatValue("%.3g", g.longestWavelength) + " cells");
  std::string text;
  switch (g.kind) {
    case GrowthKind::StationaryPattern:
      text = "Stationary pattern: a wavelength of " + FormatValue("%.3g", g.wavelength) + " cells grows fastest, " +
             rate + band + ".";
      break;
    case GrowthKind::OscillatingPattern:
      text = "Oscillating pattern: waves of " + FormatValue("%.3g", g.wavelength) + " cells grow fastest, " + rate +
             period + band + ".";
      break;
    case GrowthKind::UniformOscillation:
      text = "Oscillating uniform state: the whole field swings about it" + period + ", growing " + rate + ".";
      break;
    case GrowthKind::UniformRunaway:
      text = "Unstable uniform state: the whole field runs away from it without swinging, " + rate + ".";
      break;
    case GrowthKind::NumericalInstability:
      text =
          "Numerically unstable: the time step amplifies a mode of " +
          (std::isinf(g.wavelength) ? std::string("the whole field") : FormatValue("%.3g", g.wavelength) + " cells") +
          " that decays in continuous time, " + rate + ".";
      break;
  }
  for (std::size_t k = 1; k < state.growth.size(); ++k) {
    text += std::string(k == 1 ? " Also growing, slower: " : "; ") + GrowthKindName(state.growth[k].kind) + " (" +
            Percent(state.growth[k].perStep - 1) + " per step)";
  }
  if (state.growth.size() > 1) text += ".";
  for (const Growth& numerical : state.growth) {
    if (numerical.kind == GrowthKind::NumericalInstability) text += " " + analysis::NumericalGrowthAdvice(numerical);
  }
  return text;
}

namespace {

std::string RegionWords(SynthesisRegion region, const char* limit) {
  switch (region) {
    case SynthesisRegion::Below: return "clamped to 0";
    case SynthesisRegion::Between: return "linear";
    case SynthesisRegion::Above: return std::string("at its limit ") + limit;
  }
  return "";
}

}  // namespace

std::string SteadyStateLabel(const SteadyState& state) {
  return "u = " + FormatValue("%.4g", state.u) + ", v = " + FormatValue("%.4g", state.v) + " (activator synthesis " +
         RegionWords(state.regionU, "k9") + (state.onEdgeU ? " at an edge" : "") + ", inhibitor synthesis " +
         RegionWords(state.regionV, "k10") + (state.onEdgeV ? " at an edge" : "") + ")";
}

std::size_t PreferredState(const StabilityReport& report) {
  for (std::size_t i = 0; i < report.states.size(); ++i) {
    const SteadyState& s = report.states[i].state;
    if (s.regionU == SynthesisRegion::Between && s.regionV == SynthesisRegion::Between) return i;
  }
  return 0;
}

}  // namespace rdsim

#include "analysis/linear_stability.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "analysis/grid_modes.h"
#include "analysis/one_step_map.h"
#include "analysis/report_number.h"
#include "analysis/stability_verdict.h"
#include "analysis/steady_states.h"
#include "core/checked.h"
#include "core/constants.h"

namespace rdsim {

using analysis::CentreWeights;
using analysis::LineModes;

namespace {

ModeFactors AnalyseMode(const StepCoefficients& c, const CentreWeights& centre, const SteadyState& s, int m, int n,
                        double neighbourSum, double mu) {
  ModeFactors mode;
  mode.m = m;
  mode.n = n;
  mode.mu = mu;
  mode.factors =
      analysis::AmplificationFactors(analysis::ModeStepMatrix(c, centre, s.regionU, s.regionV, neighbourSum));
  return mode;
}

}  // namespace

StabilityReport AnalyseStability(const StepCoefficients& c, Mode mode, int n) {
  const CentreWeights centre = analysis::CentreWeightsFor(c, mode);
  const LineModes line = analysis::ModesOfLine(n);
  StabilityReport report;
  report.mode = mode;
  report.N = n;
  for (const SteadyState& state : analysis::FindSteadyStates(c)) {
    StateStability result;
    result.state = state;
    const auto cells = static_cast<std::size_t>(n);
    if (mode == Mode::OneD) {
      result.modes.reserve(cells);
      for (std::size_t m = 0; m < cells; ++m) {
        const int mi = static_cast<int>(m);
        result.modes.push_back(AnalyseMode(c, centre, state, mi, -1, line.neighbourSum[m], line.mu[m]));
      }
    } else {
      result.modes.reserve(cells * cells);
      for (std::size_t m = 0; m < cells; ++m) {
        for (std::size_t k = 0; k < cells; ++k) {
          result.modes.push_back(AnalyseMode(c, centre, state, static_cast<int>(m), static_cast<int>(k),
                                             line.neighbourSum[m] + line.neighbourSum[k], line.mu[m] + line.mu[k]));
        }
      }
    }
    for (const ModeFactors& modeFactors : result.modes) {
      for (const std::complex<double> f : modeFactors.factors) {
        if (!std::isfinite(f.real()) || !std::isfinite(f.imag())) {
          throw RunError(Fault::Overflow, "an amplification factor lies beyond the range of numbers");
        }
      }
    }
    result.growth = analysis::ClassifyGrowth(result.modes, n);
    report.states.push_back(std::move(result));
  }
  return report;
}

StepCoefficients ScaleCoefficients(const std::array<double, CoefficientCount>& k, Mode mode) {
  const double dtD = dt, dxD = dx;
  StepCoefficients c;
  FeedStepTerms(c, [&k, dtD](int i, StepScaling scaling) {
    const double value = k[static_cast<std::size_t>(i)];
    return ToSingle(scaling == StepScaling::TimesDt ? value * dtD : value);
  });
  c.DuS = ToSingle(((c.Du * dtD) / dxD) / dxD);
  c.DvS = ToSingle(((dtD * c.Dv) / dxD) / dxD);
  if (mode == Mode::OneD || mode == Mode::TwoD) {
    const CentreWeights centre = analysis::CentreWeightsFor(c, mode);
    c.centreU = static_cast<float>(centre.u);
    c.centreV = static_cast<float>(centre.v);
  }
  return c;
}

const char* GrowthKindName(GrowthKind kind) {
  switch (kind) {
    case GrowthKind::StationaryPattern: return "stationary pattern";
    case GrowthKind::OscillatingPattern: return "oscillating pattern";
    case GrowthKind::UniformOscillation: return "oscillating uniform state";
    case GrowthKind::UniformRunaway: return "unstable uniform state, growing without oscillation";
    case GrowthKind::NumericalInstability: return "numerically unstable";
  }
  return "";
}

const char* VerdictShortName(const StateStability& state) {
  if (state.growth.empty()) return "stable";
  switch (state.growth.front().kind) {
    case GrowthKind::StationaryPattern: return "stationary_pattern";
    case GrowthKind::OscillatingPattern: return "oscillating_pattern";
    case GrowthKind::UniformOscillation: return "oscillating_uniform";
    case GrowthKind::UniformRunaway: return "unstable_uniform";
    case GrowthKind::NumericalInstability: return "numerically_unstable";
  }
  return "";
}

namespace {

const char* RegionWords(SynthesisRegion region) {
  switch (region) {
    case SynthesisRegion::Below: return "below 0 (clamped to 0)";
    case SynthesisRegion::Between: return "between 0 and its limit";
    case SynthesisRegion::Above: return "above its limit (clamped to it)";
  }
  return "";
}

std::string ModeName(const Growth& g) {
  if (g.n < 0) return "mode m = " + std::to_string(g.m);
  return "mode (m, n) = (" + std::to_string(g.m) + ", " + std::to_string(g.n) + ")";
}

std::string Per1000(const Growth& g) {
  if (std::isfinite(g.per1000Steps)) return FormatValue("%.4g", g.per1000Steps);
  return "10^" + FormatValue("%.0f", g.log10Per1000Steps);
}

// "x1.00245 per step, x11.6 per 1000 steps" and the period of an oscillation.
std::string Rates(const Growth& g) {
  std::string text = "x" + analysis::FactorText(g.perStep) + " per step, x" + Per1000(g) + " per 1000 steps";
  if (g.periodSteps > 0) text += ", period " + FormatValue("%.4g", g.periodSteps) + " steps";
  return text;
}

std::string Where(const Growth& g) {
  if (std::isinf(g.wavelength)) return "the uniform mode";
  return ModeName(g) + ", wavelength " + FormatValue("%.4g", g.wavelength) + " cells (" +
         FormatValue("%.3g", g.acrossField) + " across the field)";
}

std::string Band(const Growth& g) {
  if (std::isinf(g.longestWavelength)) {
    return "from " + FormatValue("%.3g", g.shortestWavelength) + " cells up to the uniform mode";
  }
  return "from " + FormatValue("%.3g", g.shortestWavelength) + " to " + FormatValue("%.3g", g.longestWavelength) +
         " cells";
}

void DescribeState(std::string& out, const StateStability& result, std::size_t index, std::size_t count) {
  const SteadyState& s = result.state;
  out += "Steady state " + std::to_string(index + 1) + " of " + std::to_string(count) +
         ": u = " + FormatValue("%.6g", s.u) + ", v = " + FormatValue("%.6g", s.v) + "\n";
  out += std::string("  activator synthesis ") + RegionWords(s.regionU) + "; inhibitor synthesis " +
         RegionWords(s.regionV) + "\n";
  if (s.onEdgeU) {
    out += std::string("  on the edge of the activator synthesis ") + RegionWords(s.otherU) +
           ": the analysis holds on this side only\n";
  }
  if (s.onEdgeV) {
    out += std::string("  on the edge of the inhibitor synthesis ") + RegionWords(s.otherV) +
           ": the analysis holds on this side only\n";
  }
  // The step clamps the field at 0: a state there is a floor, not a balance.
  for (const auto& [name, value] : {std::pair{"u", s.u}, std::pair{"v", s.v}}) {
    if (value == 0) {
      out += std::string("  ") + name + " = 0, where the step holds it: the analysis holds for rises only\n";
    }
  }

  if (result.growth.empty()) {
    double slowest = 0;
    for (const ModeFactors& mode : result.modes) slowest = std::max(slowest, std::abs(mode.factors[0]));
    out += "  Verdict: stable; every mode decays, the slowest by x" + analysis::FactorText(slowest) + " per step\n";
    return;
  }
  const Growth& fastest = result.growth.front();
  out += std::string("  Verdict: ") + GrowthKindName(fastest.kind) + "\n";
  out += "  Fastest growth: " + Where(fastest) + ", " + Rates(fastest) + "\n";
  if (!std::isinf(fastest.wavelength)) out += "  Growing wavelengths: " + Band(fastest) + "\n";
  for (std::size_t k = 1; k < result.growth.size(); ++k) {
    const Growth& g = result.growth[k];
    out += std::string("  Also growing, slower: ") + GrowthKindName(g.kind) + " (" + Where(g) + ", " + Rates(g) + ")\n";
  }
  for (const Growth& g : result.growth) {
    if (g.kind == GrowthKind::NumericalInstability) out += "  " + analysis::NumericalGrowthAdvice(g) + "\n";
  }
}

}  // namespace

std::string DescribeStability(const StabilityReport& report) {
  std::string out = "Linear stability of the uniform steady states, " +
                    std::string(report.mode == Mode::TwoD ? "2D field of " : "1D line of ") + std::to_string(report.N) +
                    (report.mode == Mode::TwoD ? " x " + std::to_string(report.N) : "") + " cells\n";
  for (std::size_t i = 0; i < report.states.size(); ++i) DescribeState(out, report.states[i], i, report.states.size());
  return out;
}

}  // namespace rdsim

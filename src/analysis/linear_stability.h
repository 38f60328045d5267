#pragma once

#include <array>
#include <complex>
#include <string>
#include <vector>

#include "core/coefficients.h"
#include "core/simulation.h"
#include "core/step_coefficients.h"

// Linear stability of the uniform steady states, for the very grid, time step
// and single-precision coefficients the steps integrate with. Within one
// region of the clamps the step is affine, so around a steady state each
// cosine mode of the grid evolves by its own 2x2 matrix per step.

namespace rdsim {

// Where a synthesis term lies against its clamp.
enum class SynthesisRegion {
  Below,    // below 0: clamped to 0
  Between,  // linear
  Above,    // above its limit (k9 or k10): clamped to it
};

struct SteadyState {
  double u = 0, v = 0;
  SynthesisRegion regionU = SynthesisRegion::Between, regionV = SynthesisRegion::Between;
  // On the edge between two regions: the region on the other side. The
  // linearisation uses regionU/regionV, the side the step's clamp picks at
  // equality, and so holds on that side only.
  bool onEdgeU = false, onEdgeV = false;
  SynthesisRegion otherU = SynthesisRegion::Between, otherV = SynthesisRegion::Between;
};

// One cosine mode cos(pi m x / (N-1)) [cos(pi n y / (N-1))] of the grid.
struct ModeFactors {
  int m = 0;
  int n = -1;                                   // -1 on a line
  double mu = 0;                                // eigenvalue of -Laplacian, 1 / length^2
  std::array<std::complex<double>, 2> factors;  // per step; largest |factor| first
};

enum class GrowthKind {
  StationaryPattern,     // a mode with mu > 0 grows with a real factor
  OscillatingPattern,    // a mode with mu > 0 grows with a complex pair
  UniformOscillation,    // the uniform mode grows with a complex pair
  UniformRunaway,        // the uniform mode grows with a real factor
  NumericalInstability,  // Euler amplifies a mode that decays (or is neutral) in continuous time
};

// The fastest-growing mode of one kind of growth.
struct Growth {
  GrowthKind kind = GrowthKind::StationaryPattern;
  int m = 0, n = -1;
  double mu = 0;
  std::complex<double> factor;
  double perStep = 1;       // |factor|
  double per1000Steps = 1;  // |factor|^1000, infinity past the double range
  double log10Per1000Steps = 0;
  double periodSteps = 0;  // of an oscillation; 0 for a real factor
  double wavelength = 0;   // cells; infinity for the uniform mode
  double acrossField = 0;  // wavelengths that fit across the N cells
  // Wavelengths in cells of every growing mode of this kind.
  double shortestWavelength = 0, longestWavelength = 0;
};

struct StateStability {
  SteadyState state;
  std::vector<ModeFactors> modes;  // m-major, N or N*N of them
  std::vector<Growth> growth;      // one per kind present, fastest first; empty = stable
};

struct StabilityReport {
  Mode mode = Mode::OneD;
  int N = 0;
  std::vector<StateStability> states;  // ordered by u, then v
};

// The whole analysis. Uses the synthesis, decay and diffusion members of
// `c` as the intake derives them; the centre weights are derived afresh for
// `mode` exactly as the intake does, so coefficients of either mode will do.
// Raises RunError for a field of fewer than 2 or more than 128 cells a side,
// a continuum of steady states (a singular system), no steady state with
// u, v >= 0, or an overflow.
StabilityReport AnalyseStability(const StepCoefficients& c, Mode mode, int n);

// k0..k10 as the intake converts the box texts (each parsed to double), when
// there are no boxes at hand. Raises RunError on an overflow.
StepCoefficients ScaleCoefficients(const std::array<double, CoefficientCount>& k, Mode mode);

// "stable", "stationary_pattern", ...: the fastest kind of growth of a state.
const char* VerdictShortName(const StateStability& state);
// "stationary pattern", "oscillating uniform state", ...
const char* GrowthKindName(GrowthKind kind);

// The steady states and the verdict for each, in words, one fact a line.
std::string DescribeStability(const StabilityReport& report);

}  // namespace rdsim

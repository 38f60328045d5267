#pragma once

#include <array>
#include <complex>

#include "analysis/linear_stability.h"

namespace rdsim::analysis {

// The weights a cell gives itself, as the intake derives them for `mode`
// (rounded to single precision like the intake's).
struct CentreWeights {
  double u = 0, v = 0;
};
CentreWeights CentreWeightsFor(const StepCoefficients& c, Mode mode);

// One step of a mode's (u, v) amplitude around a steady state:
// (u, v) -> (uu u + uv v, vu u + vv v). This is I + dt (J - mu D), built from
// the single-precision weights exactly as the steps apply them.
struct StepMatrix {
  double uu = 1, uv = 0, vu = 0, vv = 1;
};

// `neighbourSum`: what the neighbours of a cell add up to per unit of its own
// amplitude (2 cos(theta) on a line, 2 cos(theta_m) + 2 cos(theta_n) in a square).
StepMatrix ModeStepMatrix(const StepCoefficients& c, const CentreWeights& centre, SynthesisRegion regionU,
                          SynthesisRegion regionV, double neighbourSum);

// The eigenvalues, largest |factor| first; a complex pair with the positive
// imaginary part first.
std::array<std::complex<double>, 2> AmplificationFactors(const StepMatrix& a);

}  // namespace rdsim::analysis

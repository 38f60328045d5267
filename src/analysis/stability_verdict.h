#pragma once

#include <string>
#include <vector>

#include "analysis/linear_stability.h"

namespace rdsim::analysis {

// A factor within this of 1 is the rounding of the single-precision
// coefficients, not a trend (0.1% over 1000 steps).
inline constexpr double GrowthTolerance = 1e-6;

// The kinds of growth among the modes of one state, fastest first, each with
// its fastest mode. A pattern kind counts only when it outgrows the uniform
// mode: slower pattern modes are the long-wave tail of the uniform state's
// own instability. Numerical instability counts always.
std::vector<Growth> ClassifyGrowth(const std::vector<ModeFactors>& modes, int cells);

// A factor per step with the digits that tell it from 1: "1.00245", and
// "1.000012" where six significant digits would say "1".
std::string FactorText(double factor);

// For a numerically unstable mode: where its growth comes from and what
// helps, one sentence each.
std::string NumericalGrowthAdvice(const Growth& g);

}  // namespace rdsim::analysis

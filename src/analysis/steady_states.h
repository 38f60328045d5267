#pragma once

#include <vector>

#include "analysis/linear_stability.h"

namespace rdsim::analysis {

// Every uniform steady state with u, v >= 0 of the model with the step's
// coefficients: decayU u = synU(u, v), -bV v = synV(u), in each of the nine
// pairs of clamp regions. A state on the edge of two regions appears once.
// Raises RunError when a region holds a line or an area of steady states (a
// singular system), when there is no state at all, or on an overflow.
std::vector<SteadyState> FindSteadyStates(const StepCoefficients& c);

// The region of a synthesis term by the step's clamp: below 0 it is 0, then
// above `top` it is `top`, else it is itself.
SynthesisRegion RegionOf(double synthesis, double top);

}  // namespace rdsim::analysis

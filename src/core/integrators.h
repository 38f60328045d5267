#pragma once

#include "core/simulation.h"

namespace rdsim {

// One forward-Euler step of the line: reads U/V, writes U2/V2, clamps at 0
// and copies back, so the newest line ends in U/V. A non-finite result raises
// a RunError before U/V are touched.
void Step1D(Simulation& sim);

enum class Direction {
  Forward,   // reads U/V, writes U2/V2, leaves CurrentInU false
  Backward,  // reads U2/V2, writes U/V, leaves CurrentInU true
};

// One forward-Euler step of the square. A non-finite result raises a RunError;
// the pair read is then intact and CurrentInU unchanged.
void Step2D(Simulation& sim, Direction direction);

}  // namespace rdsim

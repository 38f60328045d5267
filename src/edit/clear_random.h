#pragma once

#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// Re-reads the parameters, then sets both species to 0 in every cell.
void ClearField(Session& session, RunView& view);

// Fills both species with uniform noise in [0, 10], reseeded from the clock.
void FillWithNoise(Session& session, RunView& view);

}  // namespace rdsim

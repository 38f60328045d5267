#pragma once

#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// Resizes the buffers for the chosen mode (0: 1D, 1: 2D; values kept by
// index) and shows that mode's pictures and tools. Nothing is re-read or
// redrawn.
void SwitchMode(Session& session, RunView& view, int index);

}  // namespace rdsim

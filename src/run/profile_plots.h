#pragma once

#include "core/simulation.h"
#include "pixels/picture.h"

namespace rdsim {

// Repaints both profile pictures column by column from U and V: each column
// is painted white, then receives its bar.
void DrawProfiles(Picture& activator, Picture& inhibitor, const Simulation& sim);

}  // namespace rdsim

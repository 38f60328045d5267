#pragma once

#include "pixels/picture.h"
#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// A click in the phase plane: clears the panel, takes up the boxes (the
// parameter intake), then draws both nullclines and the 10,000-step path of
// one cell from the clicked point (x, y in the panel's units, 0..2000).
void ClickPhasePlane(Session& session, RunView& view, Picture& panel, float x, float y);

}  // namespace rdsim

#pragma once

#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// The parameter intake over the window's boxes and pictures.
void ReadParameters(Session& session, RunView& view);

// Redraws the mode's pictures from U/V: the profiles, or the field.
void DrawFromU(Session& session, RunView& view, Mode mode);

}  // namespace rdsim

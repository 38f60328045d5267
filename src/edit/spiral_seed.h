#pragma once

#include "edit/brush_view.h"
#include "run/session.h"

namespace rdsim {

// Draws a one-turn spiral in green into the field picture, then stamps the
// brush on every pixel of it that no earlier stamp has covered, scanning row
// by row.
void StampSpiral(Session& session, BrushView& view);

// One stamp of the current brush centred on cell (x, y).
void PlotSpiral(Session& session, BrushView& view, int x, int y);

}  // namespace rdsim

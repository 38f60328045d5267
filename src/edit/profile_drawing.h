#pragma once

#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// Drawing the 1D profiles with the mouse: Picture1 edits the activator U,
// Picture2 the inhibitor V. x counts cells, y is the value.
enum class Profile { Activator, Inhibitor };

// A left press starts a stroke and sets the cell under the pointer.
void StartProfileStroke(Session& session, RunView& view, Profile profile, int button, float x, float y);
// While a stroke lasts, sets the cell under the pointer, and each cell passed
// over since the last position to the height of the line joining the two;
// ignores positions left or right of the cells and pins those above or below
// to the scale.
// A move without the left button ends the stroke (StrokeGoesOn).
void ContinueProfileStroke(Session& session, RunView& view, Profile profile, int buttons, float x, float y);
// Any release ends the stroke (EndStroke, as for the brush).

}  // namespace rdsim

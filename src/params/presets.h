#pragma once

#include "params/preset_view.h"
#include "run/session.h"

namespace rdsim {

// Fills the list and the preset table from "Parameter.txt" (or from the
// built-in presets when there is no such file or no whole record in it) and
// shows the first preset in the list and the coefficient boxes. A file that
// cannot be read (too large, not a regular file) is passed over for the
// built-ins too, and a RunError then says why, once the list and the boxes are
// filled.
void LoadPresets(Session& session, PresetView& view);

// Copies the picked preset into the coefficient boxes.
void ShowPickedPreset(Session& session, PresetView& view);

// Appends the boxes under the typed name to "Parameter.txt" and reloads. A
// save that cannot go through writes nothing and raises a RunError naming the
// box, the name or the file.
void SavePreset(Session& session, PresetView& view);

}  // namespace rdsim

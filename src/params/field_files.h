#pragma once

#include <string>

#include "params/field_view.h"
#include "pixels/palette.h"
#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// File > Open Field...: the whole file is read and checked first, and tried
// on the intake; a bad file raises RunError naming it and what is wrong, and
// nothing has changed. Then the mode, the size box and the coefficient boxes
// take the file's values, the intake runs, the field goes into the buffers
// and shows, and the step count continues the file's. Works during a run,
// between two steps; a run of the other mode ends as at a mode switch.
void OpenField(Session& session, RunView& view, FieldView& fieldView, const std::string& path);

// File > Save Field...: the newest field of the selected mode with the boxes'
// coefficient texts and the steps run on it, written whole or not at all.
void SaveField(Session& session, RunView& view, const std::string& path);

// File > Export Picture...: the field's picture (ComposeFieldPicture) through
// the palette, each pixel enlarged `scale` times (1 to 8), as a PNG.
void ExportPicture(Session& session, RunView& view, const std::string& path, int scale, const Palette& palette);

// File > Save Space-Time Image...: the rows of the current or last 1D run,
// enlarged and coloured as an exported picture. Without rows, a RunError says
// how to get them.
void SaveSpaceTimeImage(Session& session, const std::string& path, int scale, const Palette& palette);

inline constexpr int MaxExportScale = 8;

}  // namespace rdsim

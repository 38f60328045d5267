#pragma once

#include "run/run_view.h"

namespace rdsim {

// File > Save As: the pictures of the current mode as 24-bit bitmaps in the
// working folder, "Activator_1D.bmp" and "Inhibitor_1D.bmp" or "2D.bmp". Each
// goes to a temporary first and replaces its file only when all are whole: on
// a failure no file has changed, and a RunError names the file.
void ExportPictures(RunView& view);

}  // namespace rdsim

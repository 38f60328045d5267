#pragma once

#include "run/run_view.h"

namespace rdsim {

// File > Save As: the pictures of the current mode as 24-bit bitmaps in the
// working folder, "Activator_1D.bmp" and "Inhibitor_1D.bmp" or "2D.bmp". Every
// file is attempted; a file that could not be written raises one RunError
// naming it afterwards.
void ExportPictures(RunView& view);

}  // namespace rdsim

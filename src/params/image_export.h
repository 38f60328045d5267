#pragma once

namespace rdsim {

class frmMain;

// File > Save As: the pictures of the current mode as 24-bit bitmaps in the
// working folder, "Activator_1D.bmp" and "Inhibitor_1D.bmp" or "2D.bmp". Every
// file is attempted; a file that could not be written raises one RunError
// naming it afterwards.
void mnuSaveAs_Click(frmMain& form);

}  // namespace rdsim

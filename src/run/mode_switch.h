#pragma once

namespace rdsim {

class frmMain;

// Resizes the buffers for the chosen mode (values kept by index) and shows
// that mode's pictures and tools. Nothing is re-read or redrawn.
void Option1_Click(frmMain& form, int index);

}  // namespace rdsim

#pragma once

namespace rdsim {

class frmMain;

// A click in the phase plane: clears it, takes up the boxes (the parameter
// intake), then draws both nullclines and the 10,000-step path of one cell
// from the clicked point (x, y in the panel's units, 0..2000).
void Picture4_MouseDown(frmMain& form, float x, float y);

}  // namespace rdsim

#pragma once

namespace rdsim {

class frmMain;

// Re-reads the parameters, then sets both species to 0 in every cell.
void Clear_Click(frmMain& form);

// Fills both species with uniform noise in [0, 10], reseeded from the clock.
void Random_Click(frmMain& form);

}  // namespace rdsim

#pragma once

namespace rdsim {

class frmMain;

// Draws a one-turn spiral in green into Picture3, then stamps the brush on
// every pixel of it that no earlier stamp has covered, scanning row by row.
void Spiral_Click(frmMain& form);

// One stamp of the current brush centred on cell (x, y).
void PlotSpiral(frmMain& form, int x, int y);

}  // namespace rdsim

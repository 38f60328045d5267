#pragma once

namespace rdsim {

class frmMain;

// Fills Combo1 and the preset table from "Parameter.txt" (or from the built-in
// presets when there is no such file or no whole record in it) and shows the
// first preset in Combo1 and the coefficient boxes. A file that cannot be read
// (too large, not a regular file) is passed over for the built-ins too, and a
// RunError then says why, once the list and the boxes are filled.
void LoadPresets(frmMain& form);

// Copies the picked preset into the coefficient boxes.
void Combo1_Click(frmMain& form);

// Appends the boxes under Combo1's name to "Parameter.txt" and reloads. A
// save that cannot go through writes nothing and raises a RunError naming the
// box, the name or the file.
void SavePar_Click(frmMain& form);

}  // namespace rdsim

#pragma once

namespace rdsim {

class frmMain;

// Repaints both profile pictures column by column from U and V: each column
// is painted white, then receives its bar.
void DrawProfiles(frmMain& form);

}  // namespace rdsim

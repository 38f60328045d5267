#pragma once

#include "core/field_buffers.h"

namespace rdsim {

class frmMain;

// Draws the activator buffer `source` (U or U2) into Picture3 as a grey image,
// composed off-screen and transferred in one copy.
void DrawField(frmMain& form, const Buffer& source);

}  // namespace rdsim

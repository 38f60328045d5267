#pragma once

#include "core/field_buffers.h"
#include "pixels/picture.h"

namespace rdsim {

// Draws the activator buffer `source` (U or U2) of an n x n field into the
// picture as a grey image, composed off-screen and transferred in one copy.
void DrawField(Picture& picture, const Buffer& source, int n);

}  // namespace rdsim

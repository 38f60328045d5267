#pragma once

#include <cstdint>
#include <vector>

#include "core/field_buffers.h"
#include "pixels/palette.h"
#include "pixels/pixel_image.h"

namespace rdsim {

// Grey level of an activator value: a * 25.5 rounded to single, then to the
// nearest integer (ties to even), limited to 0..255. So 10 and above are
// white; a value that cannot be shown (negative, not a number) is black.
std::uint8_t GreyLevel(float activator);

// The image of an N x N activator field, width x height, row 0 of the field at
// the top: each cell's grey level through `palette`. Pixels beyond the field
// keep `fill`.
PixelImage ComposeFieldImage(const Buffer& source, int n, int width, int height, std::uint32_t fill,
                             const Palette& palette = GreyPalette());

}  // namespace rdsim

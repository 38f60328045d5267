#pragma once

#include <cstdint>
#include <vector>

#include "core/field_buffers.h"
#include "pixels/pixel_image.h"

namespace rdsim {

// Height in pixels of a profile plot's drawing area.
inline constexpr int ProfileImageHeight = 62;

// One profile plot as the window draws it after an intake: n columns of
// `height` rows, each white with a bar in `color` from the bottom edge up to
// values[i] on a scale from 0 (bottom edge) to `top` (top edge). A value at or
// above the top fills the column; 0, a negative value or NaN leaves it white.
// Pixels are 0xRRGGBB, row 0 at the top.
PixelImage ComposeProfileImage(const Buffer& values, int n, int height, float top, std::uint32_t color);
// The same plot with the bottom edge at `bottom` instead of 0.
PixelImage ComposeProfileImage(const Buffer& values, int n, int height, double bottom, double top, std::uint32_t color);

}  // namespace rdsim

#pragma once

#include <cstdint>
#include <vector>

#include "core/simulation.h"
#include "pixels/palette.h"
#include "pixels/pixel_image.h"

namespace rdsim {

// The newest field as the window shows it, one pixel per cell: the activator
// square through `palette` in 2D; in 1D the activator plot above the inhibitor
// plot. Every exported picture, frame and tile starts from this.
PixelImage ComposeFieldPicture(const Simulation& sim, Mode mode, const Palette& palette = GreyPalette());

// Every colour ComposeFieldPicture may use for that mode and palette: the
// palette's 256 in 2D; white, red and blue in 1D.
std::vector<std::uint32_t> PictureColours(Mode mode, const Palette& palette = GreyPalette());

// Each pixel repeated `scale` times across and down.
PixelImage Enlarged(const PixelImage& image, int scale);

}  // namespace rdsim

#include "pixels/field_picture.h"

#include <algorithm>

#include "core/checked.h"
#include "core/constants.h"
#include "core/run_error.h"
#include "pixels/field_image_pixels.h"
#include "pixels/profile_image_pixels.h"

namespace rdsim {

PixelImage ComposeFieldPicture(const Simulation& sim, Mode mode, const Palette& palette) {
  if (mode == Mode::TwoD) return ComposeFieldImage(NewestActivator(sim, mode), sim.N, sim.N, sim.N, 0, palette);
  return Stacked(ComposeProfileImage(sim.buffers.U, sim.N, ProfileImageHeight, Umax, 0xFF0000),
                 ComposeProfileImage(sim.buffers.V, sim.N, ProfileImageHeight, Vmax, 0x0000FF));
}

std::vector<std::uint32_t> PictureColours(Mode mode, const Palette& palette) {
  if (mode == Mode::TwoD) return {palette.colours.begin(), palette.colours.end()};
  return {0xFFFFFF, 0xFF0000, 0x0000FF};
}

PixelImage Enlarged(const PixelImage& image, int scale) {
  if (scale < 1) throw RunError(Fault::Overflow, "a picture's scale must be 1 or more");
  if (scale == 1) return image;
  PixelImage big(CheckedMul(image.width, scale), CheckedMul(image.height, scale), 0u);
  for (int y = 0; y < big.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t colour = image.at(x, y / scale);
      std::fill_n(&big.at(x * scale, y), scale, colour);
    }
  }
  return big;
}

}  // namespace rdsim

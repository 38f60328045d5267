#include "pixels/palette.h"

namespace rdsim {

namespace {

Palette MakeGrey() {
  Palette grey{"grey", {}};
  for (std::uint32_t g = 0; g < 256; ++g) grey.colours[g] = (g << 16) | (g << 8) | g;
  return grey;
}

}  // namespace

bool Palette::IsGrey() const { return colours == GreyPalette().colours; }

const Palette& GreyPalette() {
  static const Palette grey = MakeGrey();
  return grey;
}

const std::vector<const Palette*>& Palettes() {
  static const std::vector<const Palette*> all{&GreyPalette()};
  return all;
}

const Palette* FindPalette(std::string_view name) {
  for (const Palette* palette : Palettes()) {
    if (name == palette->name) return palette;
  }
  return nullptr;
}

}  // namespace rdsim

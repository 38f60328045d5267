#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rdsim {

// A colour map: the colour of each grey level 0..255 of the field image.
// To add one: a function returning its table, and a row in Palettes().
struct Palette {
  const char* name;
  std::array<std::uint32_t, 256> colours;  // 0xRRGGBB

  bool IsGrey() const;
};

// The window's own mapping, the default everywhere.
const Palette& GreyPalette();

// Every palette by name, the default first.
const std::vector<const Palette*>& Palettes();
// The palette of that name, or nullptr.
const Palette* FindPalette(std::string_view name);
// "grey, viridis, magma, cividis", for messages and usage texts.
std::string PaletteNames();

}  // namespace rdsim

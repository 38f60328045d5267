#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rdsim {

// 0xRRGGBB pixels (rows top to bottom) as the bytes of an uncompressed 24-bit
// Windows bitmap file; empty when the pixels do not fill width x height.
std::string EncodeBmp(const std::vector<std::uint32_t>& pixels, int width, int height);

}  // namespace rdsim

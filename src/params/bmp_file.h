#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rdsim {

// Writes 0xRRGGBB pixels (rows top to bottom) as an uncompressed 24-bit
// Windows bitmap, replacing an existing file. Returns false if it could not.
bool WriteBmp(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height);

}  // namespace rdsim

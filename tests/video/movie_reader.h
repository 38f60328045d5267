// Reads a movie back through libavformat and libavcodec, for the tests: its
// codec, frame count, sizes and every frame's pixels.
#pragma once

#include <string>
#include <vector>

#include "pixels/pixel_image.h"

namespace rdsim::testing {

struct MovieContents {
  std::string error;  // empty when the file was read
  std::string container, codec;
  int width = 0, height = 0;
  double framesPerSecond = 0;
  std::vector<PixelImage> frames;  // 0xRRGGBB, as decoded
};

MovieContents ReadMovie(const std::string& path);

}  // namespace rdsim::testing

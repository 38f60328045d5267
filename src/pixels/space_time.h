#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/field_buffers.h"
#include "pixels/palette.h"
#include "pixels/pixel_image.h"

namespace rdsim {

// The space-time image of a line: one row per moment, position across, time
// downwards, each pixel the grey level the 2D field image gives that
// activator value. Levels are kept, not colours, so that the picture can be
// drawn through any palette later.
class SpaceTimeRows {
 public:
  // At most `maxRows` rows are kept; the oldest drop off the top.
  explicit SpaceTimeRows(std::size_t maxRows) : maxRows_(maxRows) {}

  // The first n cells of the line as the newest row. A line of another width
  // starts the image afresh, since its rows would not line up.
  void Add(const Buffer& activator, int n);
  void Clear() { rows_.clear(); }

  std::size_t Rows() const { return rows_.size(); }
  int Width() const { return width_; }
  std::size_t MaxRows() const { return maxRows_; }

  // Row 0 is the oldest row kept.
  PixelImage Picture(const Palette& palette = GreyPalette()) const;

 private:
  std::size_t maxRows_;
  int width_ = 0;
  std::deque<std::vector<std::uint8_t>> rows_;
};

}  // namespace rdsim

#include "pixels/space_time.h"

#include "core/run_error.h"
#include "pixels/field_image_pixels.h"

namespace rdsim {

void SpaceTimeRows::Add(const Buffer& activator, int n) {
  if (n < 0 || activator.size() < static_cast<std::size_t>(n)) {
    throw RunError(Fault::SubscriptOutOfRange, "the line is shorter than its space-time row");
  }
  if (maxRows_ == 0) return;
  if (n != width_) {
    rows_.clear();
    width_ = n;
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < row.size(); ++i) row[i] = GreyLevel(activator[i]);
  if (rows_.size() == maxRows_) rows_.pop_front();
  rows_.push_back(std::move(row));
}

PixelImage SpaceTimeRows::Picture(const Palette& palette) const {
  PixelImage image(width_, static_cast<int>(rows_.size()), 0u);
  for (std::size_t y = 0; y < rows_.size(); ++y) {
    for (int x = 0; x < width_; ++x)
      image.at(x, static_cast<int>(y)) = palette.colours[rows_[y][static_cast<std::size_t>(x)]];
  }
  return image;
}

}  // namespace rdsim

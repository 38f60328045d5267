#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/field_buffers.h"
#include "core/simulation.h"
#include "pixels/palette.h"
#include "pixels/pixel_image.h"

namespace rdsim {

// The values a picture spreads over its colours: lo the first, hi the last.
struct ValueRange {
  double lo = 0;
  double hi = 10;
  bool operator==(const ValueRange&) const = default;
};

// What the user chose: the window's fixed 0 to 10, another fixed LO:HI, or
// automatic, following the field's minimum and maximum.
struct RangeChoice {
  bool automatic = false;
  ValueRange fixed{};
  bool operator==(const RangeChoice&) const = default;
};

// "auto", or "LO:HI" with finite LO < HI; anything else is nullopt.
std::optional<RangeChoice> ParseRangeChoice(std::string_view text);
// The text ParseRangeChoice reads back: "auto", "0:10".
std::string RangeChoiceText(const RangeChoice& choice);

// The smallest and largest finite values of the first `count` cells; none
// finite: nullopt.
std::optional<ValueRange> FiniteMinMax(const Buffer& values, std::size_t count);

// An automatic range that does not flicker: it widens at once to take a value
// outside it, and narrows to the field's extent only when that has drawn in by
// more than a tenth of the range at either end. A field of one value gets a
// range one unit wide around it.
class AutoRange {
 public:
  ValueRange Follow(const Buffer& values, std::size_t count);
  void Reset() { shown_.reset(); }

 private:
  std::optional<ValueRange> shown_;
};

// The range a picture uses now: the fixed one, or `follower`'s next.
ValueRange RangeFor(const RangeChoice& choice, AutoRange& follower, const Buffer& values, std::size_t count);

// The colour level 0..255 of a value: (v - lo) * 255 / (hi - lo), rounded to
// single, then to the nearest integer (ties to even), limited to 0..255; NaN
// is 0. For 0:10 this is GreyLevel's arithmetic, so the pictures agree.
std::uint8_t RangeLevel(float value, const ValueRange& range);

// The n x n activator square at one pixel per cell, `range` over `palette`.
PixelImage ComposeRangedField(const Buffer& source, int n, const ValueRange& range, const Palette& palette);

// ComposeFieldPicture with a range: in 2D the square through `palette`; in 1D
// each profile plotted from its range's lo (bottom) to hi (top).
struct PictureRanges {
  ValueRange activator;
  ValueRange inhibitor;  // 1D only
};
PixelImage ComposeRangedPicture(const Simulation& sim, Mode mode, const Palette& palette, const PictureRanges& ranges);
// The ranges of `choice` for the newest field of `sim`, each species with its
// own follower.
PictureRanges RangesFor(const Simulation& sim, Mode mode, const RangeChoice& choice, AutoRange& activator,
                        AutoRange& inhibitor);

// The values a colour bar or an axis over `range` labels: multiples of 1, 2
// or 5 times a power of ten, at most `most` of them (at least 2 asked), all
// inside the range. An empty or non-finite range has none.
std::vector<double> AxisTicks(const ValueRange& range, int most);

}  // namespace rdsim

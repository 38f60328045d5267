#include "pixels/field_range.h"

#include <charconv>
#include <cmath>

#include "core/constants.h"
#include "core/run_error.h"
#include "pixels/profile_image_pixels.h"

namespace rdsim {

namespace {

std::optional<double> NumberOf(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string NumberText(double value) {
  char text[32];
  const auto [stop, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, stop) : std::string();
}

// Shows a uniform field as the middle of a range one unit wide.
ValueRange Widened(ValueRange range) {
  if (range.hi - range.lo > 0) return range;
  return {range.lo - 0.5, range.hi + 0.5};
}

inline int Level(float value, double lo, double scale) {
  const float p = static_cast<float>((value - lo) * scale);
  if (!(p > 0.0f)) return 0;
  if (!(p < 255.0f)) return 255;
  return static_cast<int>(std::nearbyint(p));
}

}  // namespace

std::optional<RangeChoice> ParseRangeChoice(std::string_view text) {
  if (text == "auto") return RangeChoice{true, {}};
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::optional<double> lo = NumberOf(text.substr(0, colon));
  const std::optional<double> hi = NumberOf(text.substr(colon + 1));
  if (!lo || !hi || !(*lo < *hi) || !std::isfinite(*hi - *lo)) return std::nullopt;
  return RangeChoice{false, {*lo, *hi}};
}

std::string RangeChoiceText(const RangeChoice& choice) {
  if (choice.automatic) return "auto";
  return NumberText(choice.fixed.lo) + ":" + NumberText(choice.fixed.hi);
}

std::optional<ValueRange> FiniteMinMax(const Buffer& values, std::size_t count) {
  if (count > values.size()) count = values.size();
  std::optional<ValueRange> extent;
  for (std::size_t i = 0; i < count; ++i) {
    const double v = values[i];
    if (!std::isfinite(v)) continue;
    if (!extent) {
      extent = ValueRange{v, v};
    } else {
      extent->lo = std::fmin(extent->lo, v);
      extent->hi = std::fmax(extent->hi, v);
    }
  }
  return extent;
}

ValueRange AutoRange::Follow(const Buffer& values, std::size_t count) {
  const std::optional<ValueRange> extent = FiniteMinMax(values, count);
  if (!extent) return shown_.value_or(ValueRange{});
  const ValueRange wanted = Widened(*extent);
  if (!shown_) {
    shown_ = wanted;
    return *shown_;
  }
  const double slack = (shown_->hi - shown_->lo) / 10;
  const bool outside = extent->lo < shown_->lo || extent->hi > shown_->hi;
  const bool drawnIn = extent->lo > shown_->lo + slack || extent->hi < shown_->hi - slack;
  if (outside || drawnIn) shown_ = wanted;
  return *shown_;
}

ValueRange RangeFor(const RangeChoice& choice, AutoRange& follower, const Buffer& values, std::size_t count) {
  return choice.automatic ? follower.Follow(values, count) : choice.fixed;
}

std::uint8_t RangeLevel(float value, const ValueRange& range) {
  return static_cast<std::uint8_t>(Level(value, range.lo, 255.0 / (range.hi - range.lo)));
}

PixelImage ComposeRangedField(const Buffer& source, int n, const ValueRange& range, const Palette& palette) {
  if (n < 0) throw RunError(Fault::Overflow, "the field picture has a negative size");
  const std::size_t cells = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
  if (source.size() < cells) {
    throw RunError(Fault::SubscriptOutOfRange, "the field buffer is shorter than the square of the field size");
  }
  PixelImage image(n, n, 0u);
  const double scale = 255.0 / (range.hi - range.lo);
  for (std::size_t k = 0; k < cells; ++k) {
    image.pixels[k] = palette.colours[static_cast<std::size_t>(Level(source[k], range.lo, scale))];
  }
  return image;
}

PixelImage ComposeRangedPicture(const Simulation& sim, Mode mode, const Palette& palette, const PictureRanges& ranges) {
  if (mode == Mode::TwoD) return ComposeRangedField(NewestActivator(sim, mode), sim.N, ranges.activator, palette);
  return Stacked(
      ComposeProfileImage(sim.buffers.U, sim.N, ProfileImageHeight, ranges.activator.lo, ranges.activator.hi, 0xFF0000),
      ComposeProfileImage(sim.buffers.V, sim.N, ProfileImageHeight, ranges.inhibitor.lo, ranges.inhibitor.hi,
                          0x0000FF));
}

PictureRanges RangesFor(const Simulation& sim, Mode mode, const RangeChoice& choice, AutoRange& activator,
                        AutoRange& inhibitor) {
  const std::size_t n = sim.N > 0 ? static_cast<std::size_t>(sim.N) : 0;
  const std::size_t cells = mode == Mode::TwoD ? n * n : n;
  return {RangeFor(choice, activator, NewestActivator(sim, mode), cells),
          RangeFor(choice, inhibitor, NewestInhibitor(sim, mode), cells)};
}

std::vector<double> AxisTicks(const ValueRange& range, int most) {
  std::vector<double> ticks;
  const double span = range.hi - range.lo;
  if (most < 2 || !std::isfinite(span) || !(span > 0)) return ticks;
  // The first step tried gives about ten times `most` ticks; a few tries up
  // always reach one that fits.
  int exponent = static_cast<int>(std::floor(std::log10(span / most))) - 1;
  for (;; ++exponent) {
    for (const int mantissa : {1, 2, 5}) {
      const double power = std::pow(10.0, std::abs(exponent));
      const double step = exponent >= 0 ? mantissa * power : mantissa / power;
      const double first = std::ceil(range.lo / step - 1e-9);
      const double last = std::floor(range.hi / step + 1e-9);
      if (last - first + 1 > most) continue;
      // A multiple over a power of ten is the double nearest the decimal.
      for (double i = first; i <= last; ++i) ticks.push_back(exponent >= 0 ? i * step : i * mantissa / power);
      return ticks;
    }
  }
}

}  // namespace rdsim

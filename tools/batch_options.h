#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "core/coefficients.h"
#include "core/simulation.h"
#include "pixels/field_range.h"
#include "pixels/palette.h"

namespace rdsim::batch {

using cli::ArgumentError;

struct BatchOptions {
  Mode mode = Mode::None;
  std::string sizeText;           // converted by the intake, as the size box would be
  CoefficientTexts coefficients;  // k0..k10, as typed
  std::int64_t steps = 0;
  std::optional<std::string> initPath, outPath, bmpPath;  // .h5: a field file, else raw
  std::optional<std::string> pngPath, moviePath, kymographPath;
  std::int64_t frameEvery = 0;  // --movie and --kymograph: a frame after every this many steps
  std::optional<int> scale;     // --png and --movie; unset: the format's default
  const Palette* palette = &GreyPalette();
  std::optional<RangeChoice> range;         // --png and --movie; unset: the window's fixed 0 to 10
  std::optional<std::uint32_t> randomSeed;  // start from the Random button's noise
  bool help = false;
  bool analyze = false;  // linear stability instead of steps
  std::optional<std::string> analyzeCsvPath;
  bool wavelength = false;                           // print the final field's dominant wavelength
  std::optional<std::string> seriesPath;             // --series: the time series as CSV
  std::int64_t seriesEvery = 0;                      // a row after every this many steps
  std::optional<std::array<std::int64_t, 2>> probe;  // x, y (y 0 in 1d); checked against N after the intake
  bool untilSettled = false;                         // end at the first step that leaves the field unchanged
};

// The flags, their values' ranges and conflicts: the usage, the parsing and
// the man page's options follow this table.
const std::vector<cli::Flag>& BatchFlags();

// Raises ArgumentError for what the table refuses, and for a mode other than
// 1d/2d, a --params list that is not eleven texts; --movie without a movie
// extension, --png or --kymograph without .png, --kymograph with --mode 2d,
// --frame-every missing or without --movie or --kymograph, --scale without
// --png or --movie, a --range that is neither auto nor LO:HI or one without
// --png or --movie, an unknown --palette or one without anything to colour.
// --every without --series and the reverse, --probe without --series, a
// --probe that is not X (1d) or X,Y (2d) whole numbers.
// The texts of --size and --params are left to the intake.
BatchOptions ParseArguments(int argc, const char* const* argv);

// The largest --scale, and the most rows a --kymograph may have.
inline constexpr int MaxScale = 32;
inline constexpr std::int64_t MaxKymographRows = 65536;

const char* Usage();

}  // namespace rdsim::batch

#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/coefficients.h"
#include "core/message_text.h"
#include "core/simulation.h"
#include "pixels/palette.h"

namespace rdsim::batch {

// A bad command line, named by the argument at fault.
class ArgumentError : public std::runtime_error {
 public:
  ArgumentError(std::string argument, const std::string& message)
      : std::runtime_error(Shortened(argument) + ": " + message), argument_(std::move(argument)) {}
  const std::string& argument() const { return argument_; }

 private:
  std::string argument_;
};

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
  std::optional<std::uint32_t> randomSeed;  // start from the Random button's noise
  bool help = false;
  bool analyze = false;  // linear stability instead of steps
  std::optional<std::string> analyzeCsvPath;
  bool wavelength = false;  // print the final field's dominant wavelength
};

// Flags take their value as the next argument or after "=" (--size=64).
// Raises ArgumentError for an unknown flag, a flag without its value or given
// twice, a missing required flag, --init with --random, a seed that is not a
// whole number from 0 to 4294967295, a mode other than 1d/2d, a step count that
// is not a whole number of 0 or more, a --params list that is not eleven
// texts, --analyze (or --analyze-csv) with --steps, --init, --random, --out or
// --bmp, --wavelength with --analyze; --movie without a movie extension, --png
// or --kymograph without .png, --kymograph with --mode 2d, --frame-every
// missing, without --movie or --kymograph, or larger than --steps (no frame),
// --scale outside 1 to 32 or
// without --png or --movie, an unknown --palette or one without anything to
// colour. The texts of --size and --params are left to the intake.
BatchOptions ParseArguments(int argc, const char* const* argv);

// A --params list: the coefficients' texts, left to the intake.
CoefficientTexts ParseCoefficientTexts(const std::string& list);

// The largest --scale, and the most rows a --kymograph may have.
inline constexpr int MaxScale = 32;
inline constexpr std::int64_t MaxKymographRows = 65536;

const char* Usage();

}  // namespace rdsim::batch

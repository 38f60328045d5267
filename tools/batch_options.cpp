#include "batch_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "core/message_text.h"
#include "video/movie_file.h"

namespace rdsim::batch {

namespace {

std::vector<std::string> SplitOnCommas(const std::string& text) {
  std::vector<std::string> parts;
  std::string::size_type begin = 0;
  for (;;) {
    const auto comma = text.find(',', begin);
    parts.push_back(text.substr(begin, comma - begin));
    if (comma == std::string::npos) return parts;
    begin = comma + 1;
  }
}

}  // namespace

CoefficientTexts ParseCoefficientTexts(const std::string& list) {
  const std::vector<std::string> texts = SplitOnCommas(list);
  CoefficientTexts coefficients;
  if (texts.size() != coefficients.size()) {
    throw ArgumentError("--params", "needs the " + std::to_string(CoefficientCount) + " coefficients k0..k" +
                                        std::to_string(CoefficientCount - 1) + " separated by commas, got " +
                                        std::to_string(texts.size()));
  }
  std::copy(texts.begin(), texts.end(), coefficients.begin());
  return coefficients;
}

namespace {

Mode ParseMode(const std::string& text) {
  if (text == "1d" || text == "1D") return Mode::OneD;
  if (text == "2d" || text == "2D") return Mode::TwoD;
  throw ArgumentError("--mode", Echoed(text) + " is neither 1d nor 2d");
}

std::int64_t ParseSteps(const std::string& text) {
  std::int64_t steps = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, steps);
  if (text.empty() || error == std::errc::invalid_argument || ptr != end) {
    throw ArgumentError("--steps", Echoed(text) + " is not a whole number");
  }
  if (error == std::errc::result_out_of_range) throw ArgumentError("--steps", Echoed(text) + " is too large");
  if (steps < 0) throw ArgumentError("--steps", Echoed(text) + " is negative");
  return steps;
}

std::uint32_t ParseSeed(const std::string& text) {
  std::uint32_t seed = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, seed);
  if (text.empty() || error != std::errc() || ptr != end) {
    throw ArgumentError("--random", Echoed(text) + " is not a whole number from 0 to 4294967295");
  }
  return seed;
}

// A whole number from `low` to `high`.
std::int64_t ParseWhole(const std::string& flag, const std::string& text, std::int64_t low, std::int64_t high) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end || value < low || value > high) {
    throw ArgumentError(
        flag, Echoed(text) + " is not a whole number from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return value;
}

bool EndsWithPng(const std::string& path) {
  std::string end = path.size() > 4 ? path.substr(path.size() - 4) : std::string();
  std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
  return end == ".png";
}

}  // namespace

const char* Usage() {
  return "usage: rdsim-batch --mode 1d|2d --size N --steps K --params \"k0,k1,...,k10\"\n"
         "                   [--init IN | --random SEED] [--out OUT] [--bmp IMAGE] [--wavelength]\n"
         "                   [--png PNG] [--movie MOVIE] [--kymograph PNG] [--frame-every M]\n"
         "                   [--scale S] [--palette NAME]\n"
         "Every flag also takes its value as --flag=VALUE.\n"
         "IN and OUT: FILE.h5, an HDF5 field file (datasets u and v, attributes mode,\n"
         "       coefficients, steps, format_version); any other name: raw little-endian\n"
         "       float32, the activator cells, then the inhibitor cells.\n"
         "SEED: fill the start field with the Random button's noise from this seed.\n"
         "IMAGE: 2d, the newest activator as a 24-bit grey bitmap; 1d, the activator plot\n"
         "       above the inhibitor plot, as the window draws them.\n"
         "--wavelength: print wavelength=W, the final activator's dominant wavelength in cells\n"
         "       (none for a uniform field), before the last line.\n"
         "PNG: the same picture as a PNG, enlarged S times (default 1), through the palette.\n"
         "MOVIE: .gif (lossless), .mp4 (H.264) or .webm (VP9), one frame after every M-th\n"
         "       step, each the --png picture; S defaults to 1 for GIF and to the smallest\n"
         "       factor that brings the larger side to 256 pixels for video.\n"
         "--kymograph: 1d, the space-time image: N pixels wide, one row after every M-th step.\n"
         "NAME: grey (default), viridis, magma or cividis.\n"
         "rdsim-batch --analyze [--analyze-csv CSV] --mode 1d|2d --size N --params \"k0,...,k10\"\n"
         "       the uniform steady states and the linear stability of each, in words;\n"
         "       CSV: state,m,n,mu,factor_re,factor_im,factor_abs,growth_per_step, one row per\n"
         "       mode and amplification factor, largest |factor| first (growth = |factor| - 1).\n"
         "rdsim-batch --list-presets: the built-in presets, one a line:\n"
         "       name|k0,...,k10|mode|size|steps, the settings of their README pictures.\n";
}

namespace {

void ParsePictureFlags(std::map<std::string, std::string>& values, BatchOptions& options) {
  if (values.count("--png")) {
    options.pngPath = values["--png"];
    if (!EndsWithPng(*options.pngPath)) throw ArgumentError("--png", Echoed(*options.pngPath) + " must end in .png");
  }
  if (values.count("--movie")) {
    options.moviePath = values["--movie"];
    if (!MovieFormatOf(*options.moviePath)) {
      throw ArgumentError("--movie", Echoed(*options.moviePath) + " must end in .gif, .mp4 or .webm");
    }
  }
  if (values.count("--kymograph")) {
    options.kymographPath = values["--kymograph"];
    if (!EndsWithPng(*options.kymographPath)) {
      throw ArgumentError("--kymograph", Echoed(*options.kymographPath) + " must end in .png");
    }
    if (options.mode != Mode::OneD) throw ArgumentError("--kymograph", "a space-time image needs --mode 1d");
  }
  const bool frames = options.moviePath || options.kymographPath;
  if (values.count("--frame-every")) {
    if (!frames) throw ArgumentError("--frame-every", "applies to --movie and --kymograph; give one of them");
    options.frameEvery = ParseWhole("--frame-every", values["--frame-every"], 1, INT64_MAX);
  } else if (frames) {
    throw ArgumentError("--frame-every", "missing; --movie and --kymograph take a frame after every M steps");
  }
  // Checked here, so that every format refuses it alike, before the run.
  if (frames && options.steps / options.frameEvery == 0) {
    throw ArgumentError("--frame-every", std::to_string(options.frameEvery) + " with --steps " +
                                             std::to_string(options.steps) + " records no frame, and a " +
                                             (options.moviePath ? "movie" : "space-time image") +
                                             " needs one; take a --frame-every of at most --steps");
  }
  if (options.kymographPath && options.steps / options.frameEvery > MaxKymographRows) {
    throw ArgumentError("--kymograph", std::to_string(options.steps / options.frameEvery) + " rows (--steps / " +
                                           "--frame-every) are more than the " + std::to_string(MaxKymographRows) +
                                           " a space-time image may have; take a larger --frame-every");
  }
  if (values.count("--scale")) {
    if (!options.pngPath && !options.moviePath) throw ArgumentError("--scale", "applies to --png and --movie");
    options.scale = static_cast<int>(ParseWhole("--scale", values["--scale"], 1, MaxScale));
  }
  if (values.count("--palette")) {
    if (!options.pngPath && !frames) throw ArgumentError("--palette", "applies to --png, --movie and --kymograph");
    options.palette = FindPalette(values["--palette"]);
    if (!options.palette) {
      throw ArgumentError("--palette", Echoed(values["--palette"]) + " is none of " + PaletteNames());
    }
  }
}

}  // namespace

BatchOptions ParseArguments(int argc, const char* const* argv) {
  static const char* const Flags[] = {"--mode",      "--size",        "--steps", "--params",  "--init",
                                      "--random",    "--out",         "--bmp",   "--png",     "--movie",
                                      "--kymograph", "--frame-every", "--scale", "--palette", "--analyze-csv"};
  std::map<std::string, std::string> values;
  BatchOptions options;
  for (int i = 1; i < argc; ++i) {
    std::string flag = argv[i];
    if (flag == "--help" || flag == "-h") {
      options.help = true;
      return options;
    }
    // "--flag=value" and "--flag value" alike; the value is everything after
    // the first "=", empty included.
    std::optional<std::string> inlineValue;
    if (const auto equals = flag.find('='); flag.rfind("--", 0) == 0 && equals != std::string::npos) {
      inlineValue = flag.substr(equals + 1);
      flag.resize(equals);
    }
    if (flag == "--analyze") {
      if (inlineValue) throw ArgumentError(flag, "takes no value");
      if (options.analyze) throw ArgumentError(flag, "given twice");
      options.analyze = true;
      continue;
    }
    if (flag == "--wavelength") {
      if (inlineValue) throw ArgumentError(flag, "takes no value");
      if (options.wavelength) throw ArgumentError(flag, "given twice");
      options.wavelength = true;
      continue;
    }
    bool known = false;
    for (const char* f : Flags) known = known || flag == f;
    if (!known) throw ArgumentError(flag, "unknown argument");
    if (!inlineValue) {
      if (i + 1 >= argc) throw ArgumentError(flag, "missing value");
      inlineValue = argv[++i];
    }
    if (!values.emplace(flag, *inlineValue).second) throw ArgumentError(flag, "given twice");
  }

  if (values.count("--analyze-csv")) {
    options.analyze = true;
    options.analyzeCsvPath = values["--analyze-csv"];
  }
  if (options.analyze) {
    for (const char* run : {"--steps", "--init", "--random", "--out", "--bmp", "--png", "--movie", "--kymograph",
                            "--frame-every", "--scale", "--palette"}) {
      if (values.count(run)) throw ArgumentError(run, "cannot be combined with --analyze");
    }
    if (options.wavelength) throw ArgumentError("--wavelength", "cannot be combined with --analyze");
  }
  for (const char* required : {"--mode", "--size", "--steps", "--params"}) {
    if (!values.count(required) && !(options.analyze && std::string(required) == "--steps")) {
      throw ArgumentError(required, "missing");
    }
  }
  options.mode = ParseMode(values["--mode"]);
  options.sizeText = values["--size"];
  if (!options.analyze) options.steps = ParseSteps(values["--steps"]);

  options.coefficients = ParseCoefficientTexts(values["--params"]);

  if (values.count("--init")) options.initPath = values["--init"];
  if (values.count("--random")) {
    if (options.initPath) throw ArgumentError("--random", "cannot be combined with --init");
    options.randomSeed = ParseSeed(values["--random"]);
  }
  if (values.count("--out")) options.outPath = values["--out"];
  if (values.count("--bmp")) options.bmpPath = values["--bmp"];
  ParsePictureFlags(values, options);
  return options;
}

}  // namespace rdsim::batch

#include "batch_options.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/constants.h"
#include "core/message_text.h"
#include "files/file_name.h"
#include "video/movie_file.h"

namespace rdsim::batch {

using cli::Flag;
using cli::Required;
using cli::Values;
using cli::Whole;

const std::vector<Flag>& BatchFlags() {
  // --analyze runs no steps, so every flag of a run is refused beside it.
  static const std::string RunFlags =
      "--steps --init --random --out --bmp --png --movie --kymograph --frame-every --scale --range --palette "
      "--wavelength --series --every --probe --until-settled";
  static const std::vector<Flag> flags{
      {"--mode", "1d|2d", {}, "a line of N cells or a square of N x N cells", "", Required},
      {"--size",
       "N",
       {std::to_string(MinFieldSize) + " to " + std::to_string(MaxFieldSize)},
       "cells per side, rounded as the window's size box rounds",
       "",
       Required},
      {"--steps", "K", Whole(0), "the steps to run", "", Required},
      {"--params",
       "k0,k1,...,k10",
       {},
       "the eleven coefficients, separated by commas, as typed into the window's boxes",
       "",
       Required},
      {"--init", "IN", {}, "start from this field (else from 0)", "--random"},
      {"--random", "SEED", Whole(0, UINT32_MAX), "start from the Random button's noise from this seed"},
      {"--out", "OUT", {}, "write the newest field"},
      {"--bmp", "IMAGE", {}, "write the newest field as a 24-bit grey bitmap (1d: the two plots)"},
      {"--wavelength", "", {}, "print wavelength=W, the final activator's dominant wavelength, before the last line"},
      {"--png", "PNG", {"a name ending in .png"}, "the --bmp picture as a PNG, enlarged and coloured"},
      {"--movie", "MOVIE", {"a name ending in .gif, .mp4 or .webm"}, "a frame of the --png picture every M steps"},
      {"--kymograph", "PNG", {"a name ending in .png"}, "with --mode 1d: the space-time image, a row every M steps"},
      {"--frame-every", "M", Whole(1), "the period of --movie and --kymograph; required with either"},
      {"--scale", "S", Whole(1, MaxScale), "the enlargement of --png and --movie"},
      {"--range",
       "auto|LO:HI",
       {},
       "the values --png and --movie spread over the colours: auto, each picture's minimum to maximum, or LO to HI "
       "(default 0:10)"},
      {"--palette", "NAME", {PaletteNames()}, "the colours of --png, --movie and --kymograph (default grey)"},
      {"--series", "CSV", {}, "write the time series: step, mean, min and max of u and v, the probe's u and v"},
      {"--every", "M", Whole(1), "the period of --series in steps; required with it"},
      {"--probe", "X[,Y]", {}, "the probe cell of --series (X in 1d, X,Y in 2d; default the middle cell)"},
      {"--until-settled", "", {}, "end at the first step that leaves the field unchanged; print settled_at=S or none"},
      {"--analyze", "", {}, "no steps: the uniform steady states and their linear stability, in words", RunFlags},
      {"--analyze-csv", "CSV", {}, "with --analyze, which it implies: also every mode's factors as a table", RunFlags},
      {.name = "--list-presets", .help = "print the built-in presets, one a line", .alone = true},
      {"--help", "", {}, "print this text"},
  };
  return flags;
}

const char* Usage() {
  static const std::string text =
      cli::Usage("usage: rdsim-batch", BatchFlags()) +
      "IN and OUT: FILE.h5, an HDF5 field file (datasets u and v, attributes mode,\n"
      "       coefficients, steps, format_version); any other name: raw little-endian\n"
      "       float32, the activator cells, then the inhibitor cells.\n"
      "MOVIE: .gif (lossless), .mp4 (H.264) or .webm (VP9); S defaults to 1 for PNG and\n"
      "       GIF and to the smallest factor that brings the larger side to 256 pixels for video.\n"
      "CSV: state,m,n,mu,factor_re,factor_im,factor_abs,growth_per_step, one row per\n"
      "       mode and amplification factor, largest |factor| first (growth = |factor| - 1).\n"
      "--series CSV: step,mean_u,min_u,max_u,mean_v,min_v,max_v,probe_u,probe_v, a row at the\n"
      "       start and after every M steps; a value reads back as the field's own number.\n"
      "--list-presets: name|k0,...,k10|mode|size|steps, the settings of their README pictures.\n";
  return text.c_str();
}

namespace {

std::optional<std::string> Optional(const cli::Arguments& args, const char* flag) {
  return args.Has(flag) ? std::optional<std::string>(args.Text(flag)) : std::nullopt;
}

void ParseOutputNames(const cli::Arguments& args, BatchOptions& options) {
  options.outPath = Optional(args, "--out");
  options.bmpPath = Optional(args, "--bmp");
  options.pngPath = Optional(args, "--png");
  if (options.pngPath && !HasExtension(*options.pngPath, ".png")) {
    throw ArgumentError("--png", Echoed(*options.pngPath) + " must end in .png");
  }
  options.moviePath = Optional(args, "--movie");
  if (options.moviePath && !MovieFormatOf(*options.moviePath)) {
    throw ArgumentError("--movie", Echoed(*options.moviePath) + " must end in .gif, .mp4 or .webm");
  }
  options.kymographPath = Optional(args, "--kymograph");
  if (options.kymographPath) {
    if (!HasExtension(*options.kymographPath, ".png")) {
      throw ArgumentError("--kymograph", Echoed(*options.kymographPath) + " must end in .png");
    }
    if (options.mode != Mode::OneD) throw ArgumentError("--kymograph", "a space-time image needs --mode 1d");
  }
}

void ParsePictureFlags(const cli::Arguments& args, BatchOptions& options) {
  const bool frames = options.moviePath || options.kymographPath;
  if (args.Has("--frame-every")) {
    if (!frames) throw ArgumentError("--frame-every", "applies to --movie and --kymograph; give one of them");
    options.frameEvery = args.Whole("--frame-every");
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
  if (args.Has("--scale")) {
    if (!options.pngPath && !options.moviePath) throw ArgumentError("--scale", "applies to --png and --movie");
    options.scale = static_cast<int>(args.Whole("--scale"));
  }
  if (args.Has("--range")) {
    if (!options.pngPath && !options.moviePath) throw ArgumentError("--range", "applies to --png and --movie");
    options.range = ParseRangeChoice(args.Text("--range"));
    if (!options.range) {
      throw ArgumentError("--range", Echoed(args.Text("--range")) + " is neither auto nor LO:HI with LO below HI");
    }
  }
  if (args.Has("--palette")) {
    if (!options.pngPath && !frames) throw ArgumentError("--palette", "applies to --png, --movie and --kymograph");
    options.palette = cli::ParsePalette(args.Text("--palette"));
  }
}

std::int64_t ProbeNumber(const std::string& text, const std::string& whole) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
    throw ArgumentError("--probe", Echoed(whole) + " is not a cell: give X in 1d or X,Y in 2d, whole numbers from 0");
  }
  return value;
}

void ParseSeriesFlags(const cli::Arguments& args, BatchOptions& options) {
  options.untilSettled = args.Has("--until-settled");
  options.seriesPath = Optional(args, "--series");
  if (!options.seriesPath) {
    for (const char* flag : {"--every", "--probe"}) {
      if (args.Has(flag)) throw ArgumentError(flag, "applies to --series; give it");
    }
    return;
  }
  if (!args.Has("--every")) throw ArgumentError("--every", "missing; --series takes a row after every M steps");
  options.seriesEvery = args.Whole("--every");
  if (!args.Has("--probe")) return;
  const std::string text = args.Text("--probe");
  const auto comma = text.find(',');
  const bool square = options.mode == Mode::TwoD;
  if (square != (comma != std::string::npos)) {
    throw ArgumentError("--probe",
                        Echoed(text) + (square ? " needs X,Y with --mode 2d" : " needs X alone with --mode 1d"));
  }
  options.probe = {ProbeNumber(text.substr(0, comma), text),
                   square ? ProbeNumber(text.substr(comma + 1), text) : std::int64_t{0}};
}

}  // namespace

BatchOptions ParseArguments(int argc, const char* const* argv) {
  const cli::Arguments args(BatchFlags(), std::vector<std::string>(argv + 1, argv + argc));
  BatchOptions options;
  options.help = args.Has("--help");
  if (options.help) return options;
  options.analyze = args.Has("--analyze") || args.Has("--analyze-csv");
  options.analyzeCsvPath = Optional(args, "--analyze-csv");
  options.wavelength = args.Has("--wavelength");
  options.mode = cli::ParseMode(args.Text("--mode"));
  options.sizeText = args.Text("--size");
  if (!options.analyze) options.steps = args.Whole("--steps");
  options.coefficients = cli::ParseCoefficientTexts(args.Text("--params"));
  options.initPath = Optional(args, "--init");
  if (args.Has("--random")) options.randomSeed = static_cast<std::uint32_t>(args.Whole("--random"));
  ParseOutputNames(args, options);
  ParsePictureFlags(args, options);
  ParseSeriesFlags(args, options);
  return options;
}

}  // namespace rdsim::batch

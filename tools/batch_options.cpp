#include "batch_options.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <vector>

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
  throw ArgumentError("--mode", "\"" + text + "\" is neither 1d nor 2d");
}

std::int64_t ParseSteps(const std::string& text) {
  std::int64_t steps = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, steps);
  if (text.empty() || error == std::errc::invalid_argument || ptr != end) {
    throw ArgumentError("--steps", "\"" + text + "\" is not a whole number");
  }
  if (error == std::errc::result_out_of_range) throw ArgumentError("--steps", "\"" + text + "\" is too large");
  if (steps < 0) throw ArgumentError("--steps", "\"" + text + "\" is negative");
  return steps;
}

std::uint32_t ParseSeed(const std::string& text) {
  std::uint32_t seed = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, seed);
  if (text.empty() || error != std::errc() || ptr != end) {
    throw ArgumentError("--random", "\"" + text + "\" is not a whole number from 0 to 4294967295");
  }
  return seed;
}

}  // namespace

const char* Usage() {
  return "usage: rdsim-batch --mode 1d|2d --size N --steps K --params \"k0,k1,...,k10\"\n"
         "                   [--init IN | --random SEED] [--out OUT] [--bmp IMAGE] [--wavelength]\n"
         "Every flag also takes its value as --flag=VALUE.\n"
         "IN and OUT: raw little-endian float32, the activator cells, then the inhibitor cells.\n"
         "SEED: fill the start field with the Random button's noise from this seed.\n"
         "IMAGE: 2d, the newest activator as a 24-bit grey bitmap; 1d, the activator plot\n"
         "       above the inhibitor plot, as the window draws them.\n"
         "--wavelength: print wavelength=W, the final activator's dominant wavelength in cells\n"
         "       (none for a uniform field), before the last line.\n"
         "rdsim-batch --analyze [--analyze-csv CSV] --mode 1d|2d --size N --params \"k0,...,k10\"\n"
         "       the uniform steady states and the linear stability of each, in words;\n"
         "       CSV: state,m,n,mu,factor_re,factor_im,factor_abs,growth_per_step, one row per\n"
         "       mode and amplification factor, largest |factor| first (growth = |factor| - 1).\n"
         "rdsim-batch --list-presets: the built-in presets, one a line:\n"
         "       name|k0,...,k10|mode|size|steps, the settings of their README pictures.\n";
}

BatchOptions ParseArguments(int argc, const char* const* argv) {
  static const char* const Flags[] = {"--mode", "--size", "--steps", "--params", "--init", "--random", "--out", "--bmp",
                                      "--analyze-csv"};
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
    for (const char* run : {"--steps", "--init", "--random", "--out", "--bmp"}) {
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
  return options;
}

}  // namespace rdsim::batch

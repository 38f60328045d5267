#include "atlas/atlas_options.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <map>
#include <sstream>

#include "core/checked.h"
#include "core/message_text.h"
#include "core/number_text.h"

namespace rdsim::atlas {

namespace {

constexpr int MaxAxisCount = 100;
constexpr int MaxJobs = 1024;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type begin = 0;
  for (;;) {
    const auto at = text.find(separator, begin);
    parts.push_back(text.substr(begin, at - begin));
    if (at == std::string::npos) return parts;
    begin = at + 1;
  }
}

template <typename Int>
Int ParseWhole(const std::string& text, Int lowest, Int highest, const std::string& argument, const char* what) {
  Int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end || value < lowest || value > highest) {
    throw ArgumentError(argument, Echoed(text) + " is not " + what + " from " + std::to_string(lowest) + " to " +
                                      std::to_string(highest));
  }
  return value;
}

double ParseValue(const std::string& text, const std::string& argument) {
  try {
    return ParseDouble(text);
  } catch (const RunError&) {
    throw ArgumentError(argument, Echoed(text) + " is not a number");
  }
}

Mode ParseMode(const std::string& text) {
  if (text == "1d" || text == "1D") return Mode::OneD;
  if (text == "2d" || text == "2D") return Mode::TwoD;
  throw ArgumentError("--mode", Echoed(text) + " is neither 1d nor 2d");
}

// Flag and value pairs, and switches (flags without a value) mapped to "";
// unknown flags, missing values and repeats raise.
std::map<std::string, std::string> ReadFlags(const std::vector<std::string>& args,
                                             const std::vector<std::string>& known,
                                             const std::vector<std::string>& switches = {}) {
  std::map<std::string, std::string> values;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& flag = args[i];
    if (std::find(switches.begin(), switches.end(), flag) != switches.end()) {
      if (!values.emplace(flag, "").second) throw ArgumentError(flag, "given twice");
      continue;
    }
    if (std::find(known.begin(), known.end(), flag) == known.end()) throw ArgumentError(flag, "unknown argument");
    if (i + 1 >= args.size()) throw ArgumentError(flag, "missing value");
    if (!values.emplace(flag, args[++i]).second) throw ArgumentError(flag, "given twice");
  }
  return values;
}

const Palette* ParsePalette(const std::string& name) {
  const Palette* palette = FindPalette(name);
  if (!palette) throw ArgumentError("--palette", Echoed(name) + " is none of " + PaletteNames());
  return palette;
}

const std::vector<std::string> ResultFlags{"--mode", "--size", "--steps", "--params", "--random", "--x", "--y"};

RunOptions ParseRun(const std::vector<std::string>& args, int defaultJobs, bool needOut) {
  std::vector<std::string> known = ResultFlags;
  known.insert(known.end(), {"--out", "--jobs", "--shard", "--palette"});
  auto values =
      ReadFlags(args, known, needOut ? std::vector<std::string>{"--resume", "--no-skip"} : std::vector<std::string>{});
  for (const std::string& required : ResultFlags) {
    if (!values.count(required)) throw ArgumentError(required, "missing");
  }
  if (needOut && !values.count("--out")) throw ArgumentError("--out", "missing");
  // An unset shell variable must not turn into the working or the root folder.
  if (needOut && values["--out"].empty()) throw ArgumentError("--out", "is empty");

  RunOptions o;
  o.modeText = values["--mode"];
  o.mode = ParseMode(o.modeText);
  o.sizeText = values["--size"];
  o.stepsText = values["--steps"];
  o.steps =
      ParseWhole<std::int64_t>(o.stepsText, 0, std::numeric_limits<std::int64_t>::max(), "--steps", "a whole number");
  o.paramsText = values["--params"];
  o.coefficients = batch::ParseCoefficientTexts(o.paramsText);
  o.seedText = values["--random"];
  o.seed = ParseWhole<std::uint32_t>(o.seedText, 0, 4294967295u, "--random", "a whole number");
  o.x = ParseAxis(values["--x"], "--x");
  o.y = ParseAxis(values["--y"], "--y");
  if (o.x.coefficient == o.y.coefficient) throw ArgumentError("--y", "sweeps the same coefficient as --x");
  o.outDir = values.count("--out") ? values["--out"] : "";
  o.jobs =
      values.count("--jobs") ? ParseWhole<int>(values["--jobs"], 1, MaxJobs, "--jobs", "a whole number") : defaultJobs;
  if (values.count("--shard")) o.shard = ParseShard(values["--shard"]);
  o.resume = values.count("--resume") > 0;
  o.skipSettled = values.count("--no-skip") == 0;
  if (values.count("--palette")) o.palette = ParsePalette(values["--palette"]);
  return o;
}

}  // namespace

CoefficientTexts RunOptions::PointCoefficients(std::size_t point) const {
  CoefficientTexts texts = coefficients;
  texts[static_cast<std::size_t>(x.coefficient)] = XText(point);
  texts[static_cast<std::size_t>(y.coefficient)] = YText(point);
  return texts;
}

Axis ParseAxis(const std::string& text, const std::string& argument) {
  const std::vector<std::string> parts = Split(text, ':');
  if (parts.size() != 4) throw ArgumentError(argument, Echoed(text) + " is not I:FROM:TO:COUNT");
  Axis axis;
  axis.text = text;
  axis.coefficient = ParseWhole<int>(parts[0], 0, CoefficientCount - 1, argument, "a coefficient index");
  const double from = ParseValue(parts[1], argument), to = ParseValue(parts[2], argument);
  const int count = ParseWhole<int>(parts[3], 1, MaxAxisCount, argument, "a count");
  for (int i = 0; i < count; ++i) {
    // The last value is TO itself, not FROM plus rounded steps.
    const double value = count == 1 ? from : i == count - 1 ? to : from + (to - from) * i / (count - 1);
    float single;
    try {
      single = ToSingle(value);
    } catch (const RunError&) {
      throw ArgumentError(argument, "a value beyond single precision");
    }
    axis.texts.push_back(FormatSingle(single));
  }
  return axis;
}

Shard ParseShard(const std::string& text) {
  const std::vector<std::string> parts = Split(text, '/');
  if (parts.size() != 2) throw ArgumentError("--shard", Echoed(text) + " is not S/M");
  Shard shard;
  shard.count = ParseWhole<int>(parts[1], 1, 1000000, "--shard", "a shard count");
  shard.index = ParseWhole<int>(parts[0], 1, shard.count, "--shard", "a shard number");
  return shard;
}

Command ParseCommand(int argc, const char* const* argv, int defaultJobs) {
  Command command;
  if (argc < 2) throw ArgumentError("command", "missing (run or merge)");
  const std::string verb = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  if (verb == "--help" || verb == "-h" || verb == "help") return command;
  if (verb == "run") {
    command.kind = Command::Run;
    command.run = ParseRun(args, defaultJobs, true);
    return command;
  }
  if (verb != "merge") throw ArgumentError(verb, "unknown command (run or merge)");
  command.kind = Command::Merge;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--out") {
      if (i + 1 >= args.size()) throw ArgumentError("--out", "missing value");
      if (!command.merge.outDir.empty()) throw ArgumentError("--out", "given twice");
      command.merge.outDir = args[++i];
    } else if (args[i] == "--palette") {
      if (i + 1 >= args.size()) throw ArgumentError("--palette", "missing value");
      command.merge.palette = ParsePalette(args[++i]);
    } else if (args[i].rfind("--", 0) == 0) {
      throw ArgumentError(args[i], "unknown argument");
    } else {
      command.merge.shardDirs.push_back(args[i]);
    }
  }
  if (command.merge.outDir.empty()) throw ArgumentError("--out", "missing");
  if (command.merge.shardDirs.empty()) throw ArgumentError("SHARD_DIR", "missing");
  return command;
}

std::string DescribeRun(const RunOptions& o) {
  return "--mode " + o.modeText + "\n--size " + o.sizeText + "\n--steps " + o.stepsText + "\n--params " + o.paramsText +
         "\n--random " + o.seedText + "\n--x " + o.x.text + "\n--y " + o.y.text + "\n";
}

RunOptions ParseRunDescription(const std::string& text, const std::string& source) {
  std::vector<std::string> args;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // written or copied on Windows
    if (line.empty() || line.rfind("steps-computed ", 0) == 0) continue;
    const auto space = line.find(' ');
    if (space == std::string::npos) throw ArgumentError(source, "is not a shard's run description");
    args.push_back(line.substr(0, space));
    args.push_back(line.substr(space + 1));
  }
  try {
    return ParseRun(args, 1, false);
  } catch (const ArgumentError& error) {
    throw ArgumentError(source, error.what());
  }
}

const char* Usage() {
  return "usage: rdsim-atlas run --mode 1d|2d --size N --steps K --params \"k0,...,k10\" --random SEED\n"
         "                       --x I:FROM:TO:COUNT --y J:FROM:TO:COUNT --out DIR\n"
         "                       [--jobs J] [--shard S/M] [--resume] [--no-skip] [--palette NAME]\n"
         "       rdsim-atlas merge --out DIR [--palette NAME] SHARD_DIR...\n"
         "Sweeps kI over COUNT values from FROM to TO (and kJ likewise), runs K steps from the seeded\n"
         "noise at every point and writes DIR/atlas.csv and the contact sheet DIR/atlas.png.\n"
         "--jobs: points run at once (default: the CPUs this process may run on). --shard S/M: only the\n"
         "points whose index is S-1 modulo M; merge the shard directories into the whole atlas.\n"
         "--resume: keep the whole points of the same sweep in DIR and compute the rest.\n"
         "DIR must be new, empty or an atlas folder: one holding other files is refused.\n"
         "--no-skip: run every step even of a field that a step left unchanged (same results).\n"
         "--palette: the colours of the 2D tiles: grey (default), viridis, magma or cividis.\n"
         "SIGTERM or SIGINT stores the points finished so far and exits 143 or 130.\n";
}

}  // namespace rdsim::atlas

#include "atlas/atlas_options.h"

#include <sstream>

#include "core/checked.h"
#include "core/constants.h"
#include "core/message_text.h"
#include "core/number_text.h"

namespace rdsim::atlas {

namespace {

constexpr int MaxAxisCount = 100;
constexpr int MaxJobs = 1024;

using cli::Flag;
using cli::ParseWhole;
using cli::Required;
using cli::Whole;

double ParseValue(const std::string& text, const std::string& argument) {
  try {
    return ParseDouble(text);
  } catch (const RunError&) {
    throw ArgumentError(argument, Echoed(text) + " is not a number");
  }
}

RunOptions ParseRun(const cli::Arguments& args, int defaultJobs) {
  // An unset shell variable must not turn into the working or the root folder.
  if (args.Text("--out").empty()) throw ArgumentError("--out", "is empty");
  RunOptions o;
  o.modeText = args.Text("--mode");
  o.mode = cli::ParseMode(o.modeText);
  o.sizeText = args.Text("--size");
  o.stepsText = args.Text("--steps");
  o.steps = args.Whole("--steps");
  o.paramsText = args.Text("--params");
  o.coefficients = cli::ParseCoefficientTexts(o.paramsText);
  o.seedText = args.Text("--random");
  o.seed = static_cast<std::uint32_t>(args.Whole("--random"));
  o.x = ParseAxis(args.Text("--x"), "--x");
  o.y = ParseAxis(args.Text("--y"), "--y");
  if (o.x.coefficient == o.y.coefficient) throw ArgumentError("--y", "sweeps the same coefficient as --x");
  o.outDir = args.Text("--out");
  o.jobs = args.Has("--jobs") ? static_cast<int>(args.Whole("--jobs")) : defaultJobs;
  if (args.Has("--shard")) o.shard = ParseShard(args.Text("--shard"));
  o.resume = args.Has("--resume");
  o.skipSettled = !args.Has("--no-skip");
  if (args.Has("--palette")) o.palette = cli::ParsePalette(args.Text("--palette"));
  return o;
}

}  // namespace

const std::vector<Flag>& RunFlags() {
  static const std::string Axis = "0 to " + std::to_string(CoefficientCount - 1) + " and COUNT 1 to " +
                                  std::to_string(MaxAxisCount) + "; FROM and TO numbers";
  static const std::vector<Flag> flags{
      {"--mode", "1d|2d", {}, "a line of N cells or a square of N x N cells", "", Required},
      {"--size",
       "N",
       {std::to_string(MinFieldSize) + " to " + std::to_string(MaxFieldSize)},
       "cells per side",
       "",
       Required},
      {"--steps", "K", Whole(0), "the steps run at every point", "", Required},
      {"--params",
       "k0,k1,...,k10",
       {},
       "the eleven coefficients, separated by commas; the swept two are not read",
       "",
       Required},
      {"--random", "SEED", Whole(0, UINT32_MAX), "every point starts from the Random button's noise of this seed", "",
       Required},
      {"--x", "I:FROM:TO:COUNT", {"I " + Axis}, "sweep kI over COUNT values from FROM to TO", "", Required},
      {"--y", "J:FROM:TO:COUNT", {"J " + Axis}, "sweep kJ likewise, another coefficient", "", Required},
      {"--out", "DIR", {}, "the folder of atlas.csv, the contact sheet atlas.png and the points", "", Required},
      {"--jobs", "J", Whole(1, MaxJobs), "points run at once (default: the CPUs this process may run on)"},
      {"--shard", "S/M", {"S 1 to M"}, "only the points whose index is S-1 modulo M; merge the shards' folders"},
      {"--resume", "", {}, "keep the whole points of the same sweep in DIR and compute the rest"},
      {"--no-skip", "", {}, "run every step even of a field that a step left unchanged (same results)"},
      {"--palette", "NAME", {PaletteNames()}, "the colours of the 2D tiles (default grey)"},
      {"--help", "", {}, "print this text"},
  };
  return flags;
}

const std::vector<Flag>& MergeFlags() {
  static const std::vector<Flag> flags{
      {"--out", "DIR", {}, "the folder of the whole atlas", "", Required},
      {"--palette", "NAME", {PaletteNames()}, "the colours of the 2D tiles (default grey)"},
      {"--help", "", {}, "print this text"},
  };
  return flags;
}

CoefficientTexts RunOptions::PointCoefficients(std::size_t point) const {
  CoefficientTexts texts = coefficients;
  texts[static_cast<std::size_t>(x.coefficient)] = XText(point);
  texts[static_cast<std::size_t>(y.coefficient)] = YText(point);
  return texts;
}

Axis ParseAxis(const std::string& text, const std::string& argument) {
  const std::vector<std::string> parts = cli::Split(text, ':');
  if (parts.size() != 4) throw ArgumentError(argument, Echoed(text) + " is not I:FROM:TO:COUNT");
  Axis axis;
  axis.text = text;
  axis.coefficient = static_cast<int>(ParseWhole(argument, parts[0], 0, CoefficientCount - 1, "a coefficient index"));
  const double from = ParseValue(parts[1], argument), to = ParseValue(parts[2], argument);
  const int count = static_cast<int>(ParseWhole(argument, parts[3], 1, MaxAxisCount, "a count"));
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
  const std::vector<std::string> parts = cli::Split(text, '/');
  if (parts.size() != 2) throw ArgumentError("--shard", Echoed(text) + " is not S/M");
  Shard shard;
  shard.count = static_cast<int>(ParseWhole("--shard", parts[1], 1, 1000000, "a shard count"));
  shard.index = static_cast<int>(ParseWhole("--shard", parts[0], 1, shard.count, "a shard number"));
  return shard;
}

Command ParseCommand(int argc, const char* const* argv, int defaultJobs) {
  Command command;
  if (argc < 2) throw ArgumentError("command", "missing (run or merge)");
  const std::string verb = argv[1];
  const std::vector<std::string> words(argv + 2, argv + argc);
  if (verb == "--help" || verb == "-h" || verb == "help") return command;
  if (verb == "run") {
    const cli::Arguments args(RunFlags(), words);
    if (!args.Has("--help")) command = {Command::Run, ParseRun(args, defaultJobs), {}};
    return command;
  }
  if (verb != "merge") throw ArgumentError(verb, "unknown command (run or merge)");
  const cli::Arguments args(MergeFlags(), words, "SHARD_DIR");
  if (args.Has("--help")) return command;
  if (args.Positional().empty()) throw ArgumentError("SHARD_DIR", "missing");
  command.kind = Command::Merge;
  command.merge.outDir = args.Text("--out");
  if (args.Has("--palette")) command.merge.palette = cli::ParsePalette(args.Text("--palette"));
  command.merge.shardDirs = args.Positional();
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
  // The folder it was read from stands in for --out, which it does not hold.
  args.insert(args.begin(), {"--out", source});
  try {
    return ParseRun(cli::Arguments(RunFlags(), args), 1);
  } catch (const ArgumentError& error) {
    throw ArgumentError(source, error.what());
  }
}

const char* Usage() {
  static const std::string text =
      cli::Usage("usage: rdsim-atlas run", RunFlags()) +
      cli::Usage("       rdsim-atlas merge", MergeFlags(), "SHARD_DIR") +
      "Runs K steps from the seeded noise at every point of the sweep and writes DIR/atlas.csv\n"
      "and the contact sheet DIR/atlas.png; merge makes them from the shards' folders.\n"
      "DIR must be new, empty or an atlas folder: one holding other files is refused.\n"
      "SIGTERM or SIGINT stores the points finished so far and exits 143 or 130.\n";
  return text.c_str();
}

}  // namespace rdsim::atlas

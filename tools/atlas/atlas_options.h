#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "core/simulation.h"
#include "pixels/palette.h"

namespace rdsim::atlas {

using cli::ArgumentError;

// One swept coefficient: COUNT evenly spaced values from FROM to TO, each as
// the number text a box would show.
struct Axis {
  int coefficient = 0;  // k index, 0..10
  std::vector<std::string> texts;
  std::string text;  // I:FROM:TO:COUNT as given
};

struct Shard {
  int index = 1;  // S, from 1
  int count = 1;  // M
  bool Holds(std::size_t point) const {
    return point % static_cast<std::size_t>(count) == static_cast<std::size_t>(index - 1);
  }
};

struct RunOptions {
  Mode mode = Mode::None;
  std::string modeText, sizeText, stepsText, paramsText, seedText;
  CoefficientTexts coefficients;
  std::int64_t steps = 0;
  std::uint32_t seed = 0;
  Axis x, y;
  std::string outDir;
  int jobs = 1;
  Shard shard;
  bool resume = false;                      // keep the whole points of the same sweep in outDir
  bool skipSettled = true;                  // end a point at a step that left its field unchanged
  const Palette* palette = &GreyPalette();  // the 2D tiles' colours; not a result, so not in DescribeRun

  std::size_t PointCount() const { return x.texts.size() * y.texts.size(); }
  // Points run in row-major order: y outer, x inner.
  const std::string& XText(std::size_t point) const { return x.texts[point % x.texts.size()]; }
  const std::string& YText(std::size_t point) const { return y.texts[point / x.texts.size()]; }
  // The eleven box texts of one point.
  CoefficientTexts PointCoefficients(std::size_t point) const;
};

struct MergeOptions {
  std::string outDir;
  const Palette* palette = &GreyPalette();
  std::vector<std::string> shardDirs;
};

struct Command {
  enum Kind { Run, Merge, Help } kind = Help;
  RunOptions run;
  MergeOptions merge;
};

// The flags of `run` and of `merge`: the usage and the parsing follow them.
const std::vector<cli::Flag>& RunFlags();
const std::vector<cli::Flag>& MergeFlags();

// Raises ArgumentError naming the argument at fault. `defaultJobs` stands in
// when --jobs is not given.
Command ParseCommand(int argc, const char* const* argv, int defaultJobs);

// The flags that fix the results of a run (not --out, --jobs, --shard), one
// "flag value" line each: the merge data of a shard.
std::string DescribeRun(const RunOptions& options);
// Reads DescribeRun's text back; ArgumentError names `source` otherwise.
RunOptions ParseRunDescription(const std::string& text, const std::string& source);

Axis ParseAxis(const std::string& text, const std::string& argument);
Shard ParseShard(const std::string& text);

const char* Usage();

}  // namespace rdsim::atlas

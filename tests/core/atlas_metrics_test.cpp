#include "atlas/atlas_metrics.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "atlas/atlas_options.h"
#include "atlas/atlas_point.h"
#include "atlas/atlas_queue.h"
#include "atlas/atlas_store.h"

namespace rdsim::atlas {
namespace {

// An n x n field of `low` with the cells listed as "row,column" set to `high`.
std::vector<float> Square(int n, std::initializer_list<std::pair<int, int>> bright, float low = 1, float high = 8) {
  std::vector<float> f(static_cast<std::size_t>(n * n), low);
  for (auto [r, c] : bright) f[static_cast<std::size_t>(r * n + c)] = high;
  return f;
}

TEST(AtlasMetrics, CountsFourConnectedRegionsAboveHalfWithoutWrapping) {
  const std::pair<std::vector<float>, int> cases[] = {
      {Square(6, {{0, 0}, {0, 1}, {1, 0}, {4, 4}, {4, 5}, {5, 4}, {5, 5}}), 2},          // two blobs
      {Square(4, {{1, 1}, {2, 2}}), 2},                                                  // diagonal neighbours
      {Square(4, {{1, 1}, {1, 2}}), 1},                                                  // side neighbours
      {Square(4, {{2, 0}, {2, 3}}), 2},                                                  // opposite edges do not meet
      {Square(5, {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 3}, {3, 1}, {3, 2}, {3, 3}}), 1},  // a ring
      {Square(3, {{1, 1}}, 0, 5), 0},                                                    // exactly Umax/2 is not above
  };
  for (const auto& [field, regions] : cases) {
    const int n = static_cast<int>(std::lround(std::sqrt(field.size())));
    EXPECT_EQ(MeasureField(field.data(), n, true, 0).regions, regions) << "a field of " << n << " x " << n;
  }
  const std::vector<float> line{9, 9, 0, 9, 0, 0, 9, 9};
  const FieldMetrics m = MeasureField(line.data(), 8, false, 0.25);
  EXPECT_EQ(m.regions, 3);
  EXPECT_DOUBLE_EQ(m.aboveHalf, 5.0 / 8);
  EXPECT_DOUBLE_EQ(m.mean, 45.0 / 8);
  EXPECT_DOUBLE_EQ(m.sd, std::sqrt(5.0 / 8 * 81 - m.mean * m.mean));
  EXPECT_DOUBLE_EQ(m.change, 0.25);
  const std::vector<float> a{1, 2, 3}, b{2, 2, 1};
  EXPECT_DOUBLE_EQ(MeanAbsoluteDifference(a.data(), b.data(), 3), 1);
}

// Spots, bright or dark, against stripes, and against a few dots in a
// uniform field, on a 64 x 64 square.
TEST(AtlasMetrics, SpottinessTellsSpotsFromStripes) {
  std::vector<float> discs(64 * 64), holes(64 * 64), stripes(64 * 64), dots(64 * 64), bar(64 * 64);
  for (std::size_t i = 0; i < discs.size(); ++i) {
    const int r = static_cast<int>(i / 64), c = static_cast<int>(i % 64), dr = r % 12 - 6, dc = c % 12 - 6;
    discs[i] = dr * dr + dc * dc <= 10 ? 8 : 1;
    holes[i] = 9 - discs[i];
    stripes[i] = c % 8 < 3 ? 8 : 1;
    dots[i] = (r - 20) * (r - 20) + (c - 30) * (c - 30) <= 10 || (r - 50) * (r - 50) + (c - 9) * (c - 9) <= 10 ? 1 : 7;
    bar[i] = c == 40 && r > 10 ? 1 : 7;  // thin and long: no dot
  }
  const std::pair<std::vector<float>*, PatternClass> cases[] = {{&discs, PatternClass::Spots},
                                                                {&holes, PatternClass::Spots},
                                                                {&stripes, PatternClass::Stripes},
                                                                {&dots, PatternClass::IsolatedDots},
                                                                {&bar, PatternClass::Stripes}};
  for (const auto& [field, expected] : cases) {
    EXPECT_EQ(Classify(MeasureField(field->data(), 64, true, 0), true), expected) << field->at(0);
  }
}

TEST(AtlasMetrics, ClassThresholdsInOrder) {
  const std::tuple<FieldMetrics, bool, PatternClass> cases[] = {
      {{.change = MovingChange}, true, PatternClass::Moving},  // an oscillating uniform field moves
      {{.sd = UniformSd * 0.99, .change = MovingChange * 0.99, .spottiness = 1}, true, PatternClass::Uniform},
      {{.sd = UniformSd, .spottiness = SpotsSpottiness, .minority = IsolatedDotsShare}, true, PatternClass::Spots},
      {{.sd = 2, .spottiness = 1, .minority = IsolatedDotsShare * 0.99}, true, PatternClass::IsolatedDots},
      {{.sd = 2, .spottiness = SpotsSpottiness * 0.99, .minority = 0.01}, true, PatternClass::Stripes},
      {{.sd = 2, .spottiness = SpotsSpottiness * 0.99}, true, PatternClass::Stripes},
      {{.sd = 2}, false, PatternClass::Spots},  // a line has no stripes
  };
  for (const auto& [m, square, expected] : cases) {
    EXPECT_EQ(Classify(m, square), expected) << m.change << " " << m.sd << " " << m.spottiness;
  }
}

// The argument an ArgumentError names, or "(accepted)".
std::string Named(const std::function<void()>& parse) {
  try {
    parse();
  } catch (const ArgumentError& error) {
    return error.argument();
  }
  return "(accepted)";
}

TEST(AtlasOptions, AxesAndShards) {
  const Axis x = ParseAxis("0:0.04:0.14:6", "--x");
  EXPECT_EQ(x.coefficient, 0);
  EXPECT_EQ(x.texts, (std::vector<std::string>{"0.04", "0.06", "0.08", "0.1", "0.12", "0.14"}));
  EXPECT_EQ(ParseAxis("10:-1e-5:3:1", "--y").texts, std::vector<std::string>{"-1E-05"});
  for (const char* bad : {"11:0:1:2", "0:a:1:2", "0:0:1:0", "0:0:1", "0:0:1:2.5", "0:0:1e39:2", "0:0:1:101"}) {
    EXPECT_EQ(Named([&] { ParseAxis(bad, "--y"); }), "--y") << bad;
  }
  const Shard s = ParseShard("2/3");
  EXPECT_TRUE(s.Holds(1) && s.Holds(4) && !s.Holds(0) && !s.Holds(2));
  for (const char* bad : {"0/3", "4/3", "1", "1/0", "a/b"}) {
    EXPECT_EQ(Named([&] { ParseShard(bad); }), "--shard") << bad;
  }
}

const std::string Design = cli::JoinCoefficientTexts(DesignCoefficientTexts());
const char* const Params = Design.c_str();

TEST(AtlasOptions, BadCommandLinesNameTheArgument) {
  const auto run = [](std::vector<const char*> extra) {
    extra.insert(extra.begin(), {"rdsim-atlas", "run", "--mode", "2d", "--size", "8", "--steps", "5", "--params",
                                 Params, "--random", "1", "--y", "4:0:1:2"});
    return extra;
  };
  const std::pair<std::vector<const char*>, std::string> cases[] = {
      {run({"--x", "0:0:1:2", "--out", "d"}), "(accepted)"},
      {run({"--x", "0:0:1:2"}), "--out"},
      {run({"--x", "0:0:1:2", "--out", "d", "--x", "1:0:1:2"}), "--x"},  // given twice
      {run({"--x", "0:0:1:2", "--out", "d", "--bogus", "1"}), "--bogus"},
      {run({"--x", "4:0:1:2", "--out", "d"}), "--y"},  // both sweep k4
      {{"rdsim-atlas", "run", "--mode", "2d"}, "--size"},
      {{"rdsim-atlas", "sweep"}, "sweep"},
      {{"rdsim-atlas", "merge", "a", "b"}, "--out"},
      {{"rdsim-atlas", "merge", "--out", "d"}, "SHARD_DIR"},
      {run({"--x", "0:0:1:2", "--out", "d", "--palette", "jet"}), "--palette"},
      {{"rdsim-atlas", "merge", "--out", "d", "--palette", "Grey", "a"}, "--palette"}};
  for (const auto& [args, named] : cases) {
    EXPECT_EQ(Named([&] { ParseCommand(static_cast<int>(args.size()), args.data(), 2); }), named) << args.back();
  }
}

TEST(AtlasOptions, APaletteColoursTheSheetAndIsNoResult) {
  std::vector<const char*> args{"rdsim-atlas", "run",      "--mode", "2d",       "--size",    "8",    "--steps",
                                "5",           "--params", Params,   "--random", "1",         "--x",  "0:0:1:2",
                                "--y",         "4:0:1:2",  "--out",  "d",        "--palette", "magma"};
  const RunOptions options = ParseCommand(static_cast<int>(args.size()), args.data(), 1).run;
  EXPECT_EQ(options.palette, FindPalette("magma"));
  args.resize(args.size() - 2);
  const RunOptions grey = ParseCommand(static_cast<int>(args.size()), args.data(), 1).run;
  EXPECT_EQ(grey.palette, &GreyPalette());
  EXPECT_EQ(DescribeRun(options), DescribeRun(grey));  // shards of either merge together
  const char* merge[] = {"rdsim-atlas", "merge", "--palette", "cividis", "--out", "d", "a"};
  EXPECT_EQ(ParseCommand(7, merge, 1).merge.palette, FindPalette("cividis"));
}

RunOptions Sweep(const char* y, const char* params = Params) {
  std::vector<const char*> args{"rdsim-atlas", "run",           "--mode",   "2d",   "--size",   "8",
                                "--steps",     "150",           "--params", params, "--random", "3",
                                "--x",         "0:0.06:0.08:2", "--y",      y,      "--out",    "d"};
  return ParseCommand(static_cast<int>(args.size()), args.data(), 1).run;
}

TEST(AtlasPoint, AnOverflowIsAFaultRowAndTheIntakeIsCheckedFirst) {
  const RunOptions options = Sweep("3:-20:0.03:2");
  EXPECT_EQ(options.PointCoefficients(1)[0], "0.08");
  const PointResult fault = RunPoint(options, 1);
  EXPECT_EQ(fault.status.rfind("Overflow at step ", 0), 0u) << fault.status;
  EXPECT_FALSE(fault.metrics);
  // No steady state with u, v >= 0 to analyse, no final field to measure.
  EXPECT_EQ(CsvRow(options, 1, fault), "1,0.08,-20," + fault.status + ",,,,,,,fault,,,,\n");
  const PointResult fine = RunPoint(options, 2);
  EXPECT_EQ(fine.status, "ok");
  EXPECT_EQ(fine.field.size(), 2u * 8 * 8);

  EXPECT_EQ(CheckIntake(options), 8);
  // A swept box's text in --params is never read; a fixed one is.
  EXPECT_EQ(CheckIntake(Sweep("3:0:1:2", "x,-0.08,0.04,?,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5")), 8);
  EXPECT_THROW(CheckIntake(Sweep("3:0:1:2", "0,-0.08,0.04,0,0.06,-0.03,-0.15,0.01,0.25,0.2,x")), ArgumentError);
}

// What a shard stores is what the merge reads back.
TEST(AtlasStore, RunDescriptionAndPointsRoundTrip) {
  RunOptions options = Sweep("3:-20:0.03:2");
  options.shard = ParseShard("2/3");
  options.jobs = 5;
  const RunOptions back = ParseRunDescription(DescribeRun(options) + "--shard 2/3\n", "dir");
  EXPECT_EQ(DescribeRun(back), DescribeRun(options));
  EXPECT_THROW(ParseRunDescription("--mode 2d\n", "dir"), ArgumentError);

  const std::string dir = ::testing::TempDir() + "atlas-store-test-" + std::to_string(getpid());
  std::filesystem::remove_all(dir);
  PrepareDirectory(dir, "--out");
  const PointResult result{"ok", std::nullopt, PatternClass::Stripes, {1.5f, -0.0f, 3e38f, 7}};
  EXPECT_FALSE(ReadPoint(dir, 4, 4));
  WritePoint(dir, 4, "4,row\n", result);
  const std::optional<StoredPoint> stored = ReadPoint(dir, 4, 4);
  ASSERT_TRUE(stored);
  EXPECT_TRUE(stored->pattern == result.pattern && stored->row == "4,row\n" && stored->field == result.field);
  EXPECT_THROW(ReadPoint(dir, 4, 5), std::runtime_error);  // a field of another size
  EXPECT_THROW(PrepareDirectory(dir + "/points/000004.raw/x", "--out"), ArgumentError);
  ClearPoints(dir);
  EXPECT_FALSE(ReadPoint(dir, 4, 4));
  std::filesystem::remove_all(dir);
}

TEST(AtlasQueue, EveryItemOnceOnAnyNumberOfThreadsAndFailuresComeBack) {
  std::vector<std::size_t> items(50);
  for (std::size_t i = 0; i < items.size(); ++i) items[i] = i * 3;
  for (int jobs : {1, 3, 64}) {
    std::vector<std::atomic<int>> seen(150);
    RunWorkQueue(
        items, jobs, [&](std::size_t i) { ++seen[i]; }, false);
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], i % 3 == 0 ? 1 : 0) << jobs;
  }
  const auto failAt30 = [](std::size_t i) {
    if (i == 30) throw std::runtime_error("disk full");
  };
  EXPECT_THROW(RunWorkQueue(items, 2, failAt30, false), std::runtime_error);
  EXPECT_EQ(ProgressText(9, 36, 3), "9/36 points, 3 points/s, 9 s left");
}

}  // namespace
}  // namespace rdsim::atlas

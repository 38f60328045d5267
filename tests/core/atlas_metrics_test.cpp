#include "atlas/atlas_metrics.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <stdexcept>
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
  struct Case {
    const char* name;
    std::vector<float> field;
    int regions;
  } cases[] = {
      {"two blobs", Square(6, {{0, 0}, {0, 1}, {1, 0}, {4, 4}, {4, 5}, {5, 4}, {5, 5}}), 2},
      {"diagonal neighbours", Square(4, {{1, 1}, {2, 2}}), 2},
      {"side neighbours", Square(4, {{1, 1}, {1, 2}}), 1},
      {"opposite edges do not meet", Square(4, {{2, 0}, {2, 3}}), 2},
      {"a ring is one region", Square(5, {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 3}, {3, 1}, {3, 2}, {3, 3}}), 1},
      {"exactly Umax/2 is not above", Square(3, {{1, 1}}, 0, 5), 0},
  };
  for (const Case& c : cases) {
    const int n = static_cast<int>(std::lround(std::sqrt(c.field.size())));
    EXPECT_EQ(MeasureField(c.field.data(), n, true, 0).regions, c.regions) << c.name;
  }
  const std::vector<float> line{9, 9, 0, 9, 0, 0, 9, 9};
  const FieldMetrics m = MeasureField(line.data(), 8, false, 0);
  EXPECT_EQ(m.regions, 3);
  EXPECT_DOUBLE_EQ(m.aboveHalf, 5.0 / 8);
  EXPECT_DOUBLE_EQ(m.mean, 45.0 / 8);
}

TEST(AtlasMetrics, MeanSdAndChange) {
  const std::vector<float> f = Square(2, {{0, 0}, {1, 1}}, 2, 4);  // 4 2 / 2 4
  const FieldMetrics m = MeasureField(f.data(), 2, true, 0.25);
  EXPECT_DOUBLE_EQ(m.mean, 3);
  EXPECT_DOUBLE_EQ(m.sd, 1);
  EXPECT_DOUBLE_EQ(m.change, 0.25);
  const std::vector<float> a{1, 2, 3}, b{2, 2, 1};
  EXPECT_DOUBLE_EQ(MeanAbsoluteDifference(a.data(), b.data(), 3), 1);
}

// Spots, bright or dark, against stripes, on a 64 x 64 square.
TEST(AtlasMetrics, SpottinessTellsSpotsFromStripes) {
  const int n = 64;
  std::vector<float> discs(n * n, 1), holes(n * n, 8), stripes(n * n, 1);
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) {
      const int dr = r % 12 - 6, dc = c % 12 - 6;
      const bool inDisc = dr * dr + dc * dc <= 10;
      discs[r * n + c] = inDisc ? 8 : 1;
      holes[r * n + c] = inDisc ? 1 : 8;
      stripes[r * n + c] = c % 8 < 3 ? 8 : 1;
    }
  }
  for (const auto* field : {&discs, &holes}) {
    const FieldMetrics m = MeasureField(field->data(), n, true, 0);
    EXPECT_GE(m.spottiness, SpotsSpottiness);
    EXPECT_EQ(Classify(m, true), PatternClass::Spots);
  }
  const FieldMetrics m = MeasureField(stripes.data(), n, true, 0);
  EXPECT_EQ(m.regions, 8);
  EXPECT_LT(m.spottiness, 0.3);
  EXPECT_EQ(Classify(m, true), PatternClass::Stripes);
}

TEST(AtlasMetrics, ClassThresholdsInOrder) {
  struct Case {
    double change, sd, spottiness;
    bool square;
    PatternClass expected;
  } cases[] = {
      {MovingChange, 0, 0, true, PatternClass::Moving},  // an oscillating uniform field moves
      {MovingChange * 0.99, UniformSd * 0.99, 1, true, PatternClass::Uniform},
      {0, UniformSd, SpotsSpottiness, true, PatternClass::Spots},
      {0, 2, SpotsSpottiness * 0.99, true, PatternClass::Stripes},
      {0, 2, 0, false, PatternClass::Spots},  // a line has no stripes
  };
  for (const Case& c : cases) {
    FieldMetrics m;
    m.change = c.change, m.sd = c.sd, m.spottiness = c.spottiness;
    EXPECT_EQ(Classify(m, c.square), c.expected) << c.change << " " << c.sd << " " << c.spottiness;
  }
}

TEST(AtlasOptions, AxesAndShards) {
  const Axis x = ParseAxis("0:0.04:0.14:6", "--x");
  EXPECT_EQ(x.coefficient, 0);
  EXPECT_EQ(x.texts, (std::vector<std::string>{"0.04", "0.06", "0.08", "0.1", "0.12", "0.14"}));
  EXPECT_EQ(ParseAxis("10:-1e-5:3:1", "--y").texts, std::vector<std::string>{"-1E-05"});
  for (const char* bad : {"11:0:1:2", "0:a:1:2", "0:0:1:0", "0:0:1", "0:0:1:2.5", "0:0:1e39:2", "0:0:1:101"}) {
    try {
      ParseAxis(bad, "--y");
      ADD_FAILURE() << bad;
    } catch (const ArgumentError& error) {
      EXPECT_EQ(error.argument(), "--y") << bad;
    }
  }
  const Shard s = ParseShard("2/3");
  EXPECT_TRUE(s.Holds(1) && s.Holds(4) && !s.Holds(0) && !s.Holds(2));
  for (const char* bad : {"0/3", "4/3", "1", "1/0", "a/b"}) EXPECT_THROW(ParseShard(bad), ArgumentError) << bad;
}

const char* const Params = "0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5";

std::string Named(std::vector<const char*> args) {
  args.insert(args.begin(), "rdsim-atlas");
  try {
    ParseCommand(static_cast<int>(args.size()), args.data(), 2);
  } catch (const ArgumentError& error) {
    return error.argument();
  }
  return "(accepted)";
}

TEST(AtlasOptions, BadCommandLinesNameTheArgument) {
  auto run = [](std::vector<const char*> extra) {
    std::vector<const char*> args{"run",  "--mode",   "2d", "--size", "8",       "--steps", "5",      "--params",
                                  Params, "--random", "1",  "--x",    "0:0:1:2", "--y",     "4:0:1:2"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  };
  EXPECT_EQ(Named(run({"--out", "d"})), "(accepted)");
  EXPECT_EQ(Named(run({})), "--out");
  EXPECT_EQ(Named(run({"--out", "d", "--jobs", "0"})), "--jobs");
  EXPECT_EQ(Named(run({"--out", "d", "--shard", "3/2"})), "--shard");
  EXPECT_EQ(Named(run({"--out", "d", "--x", "1:0:1:2"})), "--x");
  EXPECT_EQ(Named(run({"--out", "d", "--bogus", "1"})), "--bogus");
  EXPECT_EQ(Named({"run", "--mode", "2d"}), "--size");
  EXPECT_EQ(Named({"sweep"}), "sweep");
  EXPECT_EQ(Named({"merge", "a", "b"}), "--out");
  EXPECT_EQ(Named({"merge", "--out", "d"}), "SHARD_DIR");
  EXPECT_EQ(Named({"run", "--mode", "2d", "--size", "8", "--steps", "5", "--params", Params, "--random", "1", "--x",
                   "4:0:1:2", "--y", "4:0:1:2", "--out", "d"}),
            "--y");
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
  EXPECT_EQ(options.PointCoefficients(1)[3], "-20");
  const PointResult fault = RunPoint(options, 1);
  EXPECT_EQ(fault.status.rfind("Overflow at step ", 0), 0u) << fault.status;
  EXPECT_FALSE(fault.metrics);
  EXPECT_EQ(CsvRow(options, 1, fault), "1,0.08,-20," + fault.status + ",,,,,,,fault\n");
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
  EXPECT_EQ(back.PointCoefficients(3), options.PointCoefficients(3));
  EXPECT_THROW(ParseRunDescription("--mode 2d\n", "dir"), ArgumentError);

  const std::string dir = ::testing::TempDir() + "atlas-store-test-" + std::to_string(getpid());
  std::filesystem::remove_all(dir);
  PrepareDirectory(dir, "--out");
  PointResult result;
  result.pattern = PatternClass::Stripes;
  result.field = {1.5f, -0.0f, 3e38f, 7};
  EXPECT_FALSE(ReadPoint(dir, 4, 4));
  WritePoint(dir, 4, "4,row\n", result);
  const std::optional<StoredPoint> stored = ReadPoint(dir, 4, 4);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->pattern, PatternClass::Stripes);
  EXPECT_EQ(stored->row, "4,row\n");
  EXPECT_EQ(stored->field, result.field);
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
  EXPECT_THROW(RunWorkQueue(
                   items, 2,
                   [](std::size_t i) {
                     if (i == 30) throw std::runtime_error("disk full");
                   },
                   false),
               std::runtime_error);
  EXPECT_EQ(ProgressText(9, 36, 3), "9/36 points, 3 points/s, 9 s left");
}

}  // namespace
}  // namespace rdsim::atlas

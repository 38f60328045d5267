// The early stop changes no result: a point that settles gives the bits of the
// same point run to the end, its change over the last steps included, and
// stops at the first look after the step that left its field unchanged. And
// the sheet: the size of its tiles and where each one lies.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <atomic>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "atlas/atlas_layout.h"
#include "atlas/atlas_options.h"
#include "atlas/atlas_point.h"
#include "atlas/atlas_queue.h"
#include "atlas/atlas_sheet.h"
#include "command_line/intake.h"
#include "core/noise_fill.h"
#include "core/step_loop.h"
#include "pixels/field_image_pixels.h"

namespace rdsim::atlas {
namespace {

const std::string Design = cli::JoinCoefficientTexts(DesignCoefficientTexts());
const char* const Params = Design.c_str();

RunOptions Sweep(const char* mode, const char* size, const char* steps) {
  const char* argv[] = {"rdsim-atlas", "run",           "--mode",   mode,           "--size",   size,
                        "--steps",     steps,           "--params", Params,         "--random", "1",
                        "--x",         "0:0.02:0.16:4", "--y",      "4:0.03:0.1:3", "--out",    "d"};
  return ParseCommand(static_cast<int>(std::size(argv)), argv, 1).run;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The first step after which the field equals the one before it, found the
// plain way: a copy of both species before every step.
std::int64_t FirstUnchangedStep(const RunOptions& options, std::size_t point) {
  Simulation sim;
  cli::TakeParameters(sim, options.mode, options.sizeText, options.PointCoefficients(point));
  FillNoise(sim.buffers.U, sim.buffers.V, cli::CellCount(sim, options.mode), options.seed);
  std::vector<float> before = cli::NewestField(sim, options.mode);
  for (std::int64_t k = 1; k <= options.steps; ++k) {
    RunSteps(sim, options.mode, 1);
    std::vector<float> now = cli::NewestField(sim, options.mode);
    if (std::memcmp(now.data(), before.data(), now.size() * sizeof(float)) == 0) return k;
    before.swap(now);
  }
  return 0;
}

// 2D at N = 16 over 4,600 steps and 1D at N = 32 over 5,400: some points
// settle before the last 100 steps, some within them (change then sums fewer
// steps), the moving ones never.
TEST(AtlasSettle, SkippedStepsChangeNoBitAndEndAtTheFirstLook) {
  struct Case {
    const char *mode, *size;
    std::int64_t steps;
  };
  for (const auto& [mode, size, steps] : {Case{"2d", "16", 4600}, Case{"1d", "32", 5400}}) {
    const RunOptions options = Sweep(mode, size, std::to_string(steps).c_str());
    int settled = 0, moving = 0, inWindow = 0;
    for (std::size_t p = 0; p < options.PointCount(); ++p) {
      const PointResult full = RunPoint(options, p, {false, nullptr});
      const PointResult skipped = RunPoint(options, p, {true, nullptr});
      const std::string where = std::string(mode) + " point " + std::to_string(p);
      ASSERT_EQ(full.field.size(), skipped.field.size()) << where;
      EXPECT_EQ(std::memcmp(full.field.data(), skipped.field.data(), full.field.size() * sizeof(float)), 0) << where;
      ASSERT_TRUE(full.metrics && skipped.metrics) << where;
      EXPECT_TRUE(SameBits(full.metrics->change, skipped.metrics->change)) << where;
      EXPECT_EQ(full.status, skipped.status) << where;
      EXPECT_EQ(full.pattern, skipped.pattern) << where;
      EXPECT_EQ(full.stepsComputed, steps) << where;

      const std::int64_t first = FirstUnchangedStep(options, p);
      const std::int64_t look = (first + SettleCheckEvery - 1) / SettleCheckEvery * SettleCheckEvery;
      EXPECT_EQ(skipped.stepsComputed, first == 0 || look > steps ? steps : look) << where;
      settled += first != 0;
      moving += full.pattern == PatternClass::Moving;
      inWindow += first > steps - ChangeSteps;
    }
    EXPECT_GE(settled, 3) << mode;
    EXPECT_GE(moving, 2) << mode;
    EXPECT_GE(inWindow, 1) << mode;
  }
}

TEST(AtlasSettle, AFaultIsTheSameWithOrWithoutTheStop) {
  const char* argv[] = {"rdsim-atlas", "run",           "--mode",   "2d",           "--size",   "8",
                        "--steps",     "300",           "--params", Params,         "--random", "5",
                        "--x",         "0:0.04:0.12:2", "--y",      "3:-20:0.03:2", "--out",    "d"};
  const RunOptions options = ParseCommand(static_cast<int>(std::size(argv)), argv, 1).run;
  const PointResult full = RunPoint(options, 0, {false, nullptr}), skipped = RunPoint(options, 0, {true, nullptr});
  EXPECT_EQ(full.status, skipped.status);
  EXPECT_FALSE(skipped.metrics);
  EXPECT_EQ(full.stepsComputed, skipped.stepsComputed);
  EXPECT_EQ(full.field, skipped.field);
}

TEST(AtlasSettle, AStopFromOutsideDropsThePoint) {
  const RunOptions options = Sweep("2d", "16", "4600");
  std::atomic<bool> stop{true};
  const PointResult result = RunPoint(options, 5, {true, &stop});
  EXPECT_TRUE(result.interrupted);
  EXPECT_LE(result.stepsComputed, 1);

  std::vector<std::size_t> items(20);
  std::atomic<int> ran{0};
  std::atomic<bool> cancel{false};
  RunWorkQueue(
      items, 1,
      [&](std::size_t) {
        if (++ran == 3) cancel = true;
      },
      false, &cancel);
  EXPECT_EQ(ran, 3);
}

// Whole-pixel enlargement as before, and never a side past the limit.
TEST(AtlasLayout, TilesShrinkOnlyToKeepTheSheetWithinItsLimit) {
  struct Case {
    int n;
    bool square;
    int columns, rows, maxSide;
    int width, height;
  };
  const Case cases[] = {
      {64, true, 8, 8, MaxSheetSide, 128, 128},
      {12, true, 3, 3, MaxSheetSide, 96, 96},
      {128, true, 100, 100, MaxSheetSide, 128, 128},
      {16, false, 2, 3, MaxSheetSide, 96, 126},
      {128, false, 100, 100, MaxSheetSide, 128, 126},
      {128, true, 100, 100, 8000, 66, 66},
      {128, true, 100, 10, 8000, 66, 66},
      {128, false, 10, 100, 8000, 128, 66},
      {64, true, 100, 100, 500, 1, 1},
  };
  for (const Case& c : cases) {
    const TileSize tile = FitTiles(c.n, c.square, 62, c.columns, c.rows, 150, 160, c.maxSide);
    const std::string where = std::to_string(c.n) + (c.square ? " square " : " line ") + std::to_string(c.columns) +
                              "x" + std::to_string(c.rows) + " in " + std::to_string(c.maxSide);
    EXPECT_EQ(tile.width, c.width) << where;
    EXPECT_EQ(tile.height, c.height) << where;
    if (c.width > 1) {
      EXPECT_LE(c.columns * (tile.width + 2 * FrameWidth + TileGap) - TileGap + 150, c.maxSide) << where;
      EXPECT_LE(c.rows * (tile.height + 2 * FrameWidth + TileGap) - TileGap + 160, c.maxSide) << where;
    }
  }
}

// Each point's tile, found in the decoded PNG by a colour of its own, lies
// where its values put it: larger kI to the right, larger kJ higher up.
TEST(AtlasSheet, EachTileLiesWhereItsAxisValuesSay) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "rdsim_atlas_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication application(argc, argv);

  const char* args[] = {"rdsim-atlas", "run",
                        "--mode",      "2d",
                        "--size",      "6",
                        "--steps",     "10",
                        "--params",    "0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5",
                        "--random",    "1",
                        "--x",         "0:0.02:0.1:3",
                        "--y",         "4:0.05:0.09:2",
                        "--palette",   "viridis",
                        "--out",       "d"};
  const RunOptions options = ParseCommand(static_cast<int>(std::size(args)), args, 1).run;
  ContactSheet sheet(options, 6);
  const auto colour = [&](std::size_t point) {
    return options.palette->colours[GreyLevel(1.5f * static_cast<float>(point) + 1)];
  };
  for (std::size_t p = 0; p < options.PointCount(); ++p) {
    std::vector<float> field(2 * 36, 1.5f * static_cast<float>(p) + 1);
    sheet.Place(p, PatternClass::Uniform, false, field);
  }
  const std::string png = sheet.Png();
  const QImage image = QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()));
  ASSERT_FALSE(image.isNull());
  std::map<std::uint32_t, std::array<double, 3>> sums;  // colour: x, y, count
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      auto& sum = sums[image.pixel(x, y) & 0xFFFFFFu];
      sum = {sum[0] + x, sum[1] + y, sum[2] + 1};
    }
  }
  for (std::size_t p = 0; p < options.PointCount(); ++p) {
    for (std::size_t q = 0; q < options.PointCount(); ++q) {
      const auto& a = sums[colour(p)];
      const auto& b = sums[colour(q)];
      ASSERT_GE(a[2], 36) << "no tile of point " << p;
      const double dx = std::stod(options.XText(q)) - std::stod(options.XText(p));
      const double dy = std::stod(options.YText(q)) - std::stod(options.YText(p));
      // Centres: to the right for a larger kI, higher (a smaller row) for a larger kJ.
      const double right = b[0] / b[2] - a[0] / a[2], down = b[1] / b[2] - a[1] / a[2];
      EXPECT_EQ(dx > 0, right > 0.5) << p << " " << q;
      EXPECT_EQ(dy > 0, down < -0.5) << p << " " << q;
    }
  }
}

}  // namespace
}  // namespace rdsim::atlas

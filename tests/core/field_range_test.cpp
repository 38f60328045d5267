// The ranges of the field window and rdsim-batch --range, and the colour bar's ticks.
#include <gtest/gtest.h>

#include <cmath>

#include "pixels/field_image_pixels.h"
#include "pixels/field_range.h"

namespace rdsim {
namespace {

TEST(FieldRange, TicksAreRoundInsideTheRangeAndFew) {
  const struct {
    ValueRange range;
    int most;
    std::vector<double> ticks;
  } rows[] = {
      {{0, 10}, 6, {0, 2, 4, 6, 8, 10}},
      {{0.01, 6.5}, 7, {1, 2, 3, 4, 5, 6}},
      {{0, 1}, 5, {0, 0.5, 1}},
      {{0, 0.3}, 4, {0, 0.1, 0.2, 0.3}},  // the decimals exactly, not 0.30000000000000004
      {{-3.7, 2.2}, 4, {-2, 0, 2}},
      {{0, 128}, 8, {0, 20, 40, 60, 80, 100, 120}},
      {{1e-7, 5e-7}, 5, {1e-7, 2e-7, 3e-7, 4e-7, 5e-7}},
      {{5, 5}, 6, {}},  // an empty range has no ticks
  };
  for (const auto& row : rows)
    EXPECT_EQ(AxisTicks(row.range, row.most), row.ticks) << row.range.lo << ":" << row.range.hi;
}

TEST(FieldRange, ChoicesLevelsAndTheAutomaticRangesHysteresis) {
  EXPECT_EQ(ParseRangeChoice("auto"), (RangeChoice{true, {}}));
  EXPECT_EQ(ParseRangeChoice("-1:6.5"), (RangeChoice{false, {-1, 6.5}}));
  for (const char* bad : {"", "3", "5:1", "2:2", "0:nan", "0:inf", "a:1", "0:1x", "Auto"}) {
    EXPECT_FALSE(ParseRangeChoice(bad)) << bad;
  }
  EXPECT_EQ(RangeChoiceText(*ParseRangeChoice("0.25:10")), "0.25:10");
  // 0:10 is the main window's grey, level for level.
  for (float v : {-1.0f, 0.0f, 0.0196f, 3.3333333f, 5.0f, 9.99f, 10.0f, 1e30f, std::nanf("")}) {
    EXPECT_EQ(RangeLevel(v, {0, 10}), GreyLevel(v)) << v;
  }
  EXPECT_EQ(RangeLevel(6.5f, {0.01, 6.5}), 255);
  EXPECT_EQ(RangeLevel(0.01f, {0.01, 6.5}), 0);
  // Widens at once, narrows only past a tenth, ignores what is not finite.
  AutoRange follower;
  const struct {
    Buffer field;
    ValueRange shown;
  } steps[] = {
      {{1, 3, NAN, 2}, {1, 3}},    {{1.1f, 2.9f, 2, 2}, {1, 3}},
      {{0.5f, 2, 2, 2}, {0.5, 2}}, {{0.5f, 2.125f, 2, 2}, {0.5, 2.125}},
      {{4, 4, 4, 4}, {3.5, 4.5}},
  };
  for (const auto& step : steps) {
    const ValueRange shown = follower.Follow(step.field, step.field.size());
    EXPECT_DOUBLE_EQ(shown.lo, step.shown.lo);
    EXPECT_DOUBLE_EQ(shown.hi, step.shown.hi);
  }
}

}  // namespace
}  // namespace rdsim

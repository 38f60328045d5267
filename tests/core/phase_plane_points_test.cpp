#include <gtest/gtest.h>

#include <cmath>

#include "core/parameter_intake.h"
#include "fake_window.h"
#include "params/phase_plane_points.h"

namespace rdsim {
namespace {

std::vector<PhasePoint> Click(const testing::FakeBoxes& given, std::uint32_t color) {
  Simulation sim;
  testing::FakeBoxes boxes = given;
  testing::FakeView view;
  ReadParameters(sim, boxes, view);
  std::vector<PhasePoint> out;
  for (const PhasePoint& p : PhasePlanePoints(sim.coef, 5.0f, 5.0f, sim.synU, sim.synV)) {
    if (p.color == color) out.push_back(p);
  }
  return out;
}

TEST(PhasePlanePoints, DrawTheDesignNullclinesAndPath) {
  const testing::FakeBoxes design;
  const auto red = Click(design, ActivatorNullclineColor), blue = Click(design, InhibitorNullclineColor);
  ASSERT_EQ(red.size(), 200u);
  EXPECT_EQ(red.front().x, 10.0f);
  EXPECT_NEAR(red.front().y, 106.25, 1e-3);
  EXPECT_EQ(red.back().x, 2000.0f);
  EXPECT_NEAR(red.back().y, 1350.0, 1e-3);
  ASSERT_EQ(blue.size(), 200u);
  EXPECT_EQ(blue[124].x, 1250.0f);
  EXPECT_NEAR(blue[124].y, 1500.0, 1e-3);
  // From u = v = 5 (a click at 1000, 1000): synU = 0.004, synV = 0.015 on the first step.
  const auto path = Click(design, PathColor);
  ASSERT_EQ(path.size(), 10000u);
  EXPECT_NEAR(path[0].x, 997.8, 1e-3);
  EXPECT_NEAR(path[0].y, 1000.0, 1e-3);
}

TEST(PhasePlanePoints, SkipZeroWeightNullclinesAndStopAnOverflowingPath) {
  testing::FakeBoxes boxes;
  boxes.k[1] = boxes.k[5] = "0";  // bU = bV = 0
  EXPECT_TRUE(Click(boxes, ActivatorNullclineColor).empty());
  EXPECT_TRUE(Click(boxes, InhibitorNullclineColor).empty());
  boxes = {};
  boxes.k[3] = "-30";  // u grows fourfold each step
  const auto path = Click(boxes, PathColor);
  EXPECT_GT(path.size(), 10u);
  EXPECT_LT(path.size(), 100u);
  for (const PhasePoint& p : path) ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

}  // namespace
}  // namespace rdsim

#include <gtest/gtest.h>

#include <cmath>

#include "core/parameter_intake.h"
#include "fake_window.h"
#include "params/phase_plane_points.h"

namespace rdsim {
namespace {

struct PhasePlane : ::testing::Test {
  Simulation sim;
  testing::FakeBoxes boxes;
  testing::FakeView view;

  std::vector<PhasePoint> Click(float x, float y) {
    ReadParameters(sim, boxes, view);
    return PhasePlanePoints(sim.coef, x / 200.0f, y / 200.0f, sim.synU, sim.synV);
  }
  static std::vector<PhasePoint> OfColor(const std::vector<PhasePoint>& points, std::uint32_t color) {
    std::vector<PhasePoint> out;
    for (const PhasePoint& p : points) {
      if (p.color == color) out.push_back(p);
    }
    return out;
  }
};

TEST_F(PhasePlane, DrawsTheDesignNullclinesAndPath) {
  const std::vector<PhasePoint> points = Click(1000, 1000);
  ASSERT_EQ(points.size(), 200u + 200u + 10000u);
  const auto red = OfColor(points, ActivatorNullclineColor);
  const auto blue = OfColor(points, InhibitorNullclineColor);
  const auto black = OfColor(points, PathColor);
  ASSERT_EQ(red.size(), 200u);
  EXPECT_EQ(red.front().x, 10.0f);
  EXPECT_NEAR(red.front().y, 106.25, 1e-3);
  EXPECT_EQ(red.back().x, 2000.0f);
  EXPECT_NEAR(red.back().y, 1350.0, 1e-3);
  ASSERT_EQ(blue.size(), 200u);
  EXPECT_EQ(blue[124].x, 1250.0f);
  EXPECT_NEAR(blue[124].y, 1500.0, 1e-3);
  EXPECT_LT(blue[0].y, 0.0f);  // below the panel: leaves no mark
  // From u = v = 5: synU = 0.004, synV = 0.015 on the first step.
  EXPECT_NEAR(black.front().x, 997.8, 1e-3);
  EXPECT_NEAR(black.front().y, 1000.0, 1e-3);
  for (const PhasePoint& p : black) {
    EXPECT_GE(p.x, 0.0f);
    EXPECT_GE(p.y, 0.0f);
  }
}

TEST_F(PhasePlane, SkipsAZeroWeightNullclineAndStopsAPathThatOverflows) {
  boxes.k[1] = "0";  // bU = 0: no activator nullcline
  boxes.k[5] = "0";  // bV = 0: no inhibitor nullcline
  EXPECT_TRUE(OfColor(Click(500, 500), ActivatorNullclineColor).empty());
  EXPECT_TRUE(OfColor(Click(500, 500), InhibitorNullclineColor).empty());

  testing::FakeBoxes growing;
  boxes = growing;
  boxes.k[3] = "-30";  // negative decay: u grows by a factor 4 each step
  boxes.k[5] = "30";   // positive self term: v likewise
  std::vector<PhasePoint> path;
  EXPECT_NO_THROW(path = OfColor(Click(1000, 1000), PathColor));
  EXPECT_GT(path.size(), 10u);
  EXPECT_LT(path.size(), 100u);
  for (const PhasePoint& p : path) ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

}  // namespace
}  // namespace rdsim

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "core/parameter_intake.h"
#include "fake_window.h"
#include "params/phase_plane_points.h"

namespace rdsim {
namespace {

// The points of one colour that a click at (1000, 1000), u = v = 5, draws with these boxes.
std::vector<PhasePoint> Click(testing::FakeBoxes boxes, std::uint32_t color) {
  Simulation sim;
  testing::FakeView view;
  ReadParameters(sim, boxes, view);
  std::vector<PhasePoint> out;
  for (const PhasePoint& p : PhasePlanePoints(sim.coef, 5.0f, 5.0f, sim.synU, sim.synV)) {
    if (p.color == color) out.push_back(p);
  }
  return out;
}

TEST(PhasePlanePoints, DrawTheDesignNullclinesAndPath) {
  const auto red = Click({}, ActivatorNullclineColor), blue = Click({}, InhibitorNullclineColor);
  const auto path = Click({}, PathColor);
  ASSERT_EQ(std::tuple(red.size(), blue.size(), path.size()), std::tuple(200u, 200u, 10000u));
  // The ends of the activator nullcline, i = 125 of the inhibitor's, and the
  // first path step (synU = 0.004, synV = 0.015).
  const std::pair<PhasePoint, PhasePoint> cases[] = {
      {red.front(), {10, 106.25}}, {red.back(), {2000, 1350}}, {blue[124], {1250, 1500}}, {path[0], {997.8f, 1000}}};
  for (const auto& [got, want] : cases) {
    EXPECT_NEAR(got.x, want.x, 1e-3);
    EXPECT_NEAR(got.y, want.y, 1e-3);
  }
}

TEST(PhasePlanePoints, SkipZeroWeightNullclinesAndStopAnOverflowingPath) {
  testing::FakeBoxes flat, growing;
  flat.k[1] = flat.k[5] = "0";  // bU = bV = 0
  EXPECT_TRUE(Click(flat, ActivatorNullclineColor).empty());
  EXPECT_TRUE(Click(flat, InhibitorNullclineColor).empty());
  growing.k[3] = "-30";  // u grows fourfold each step
  const auto path = Click(growing, PathColor);
  EXPECT_GT(path.size(), 10u);
  EXPECT_LT(path.size(), 100u);
  for (const PhasePoint& p : path) ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
}

}  // namespace
}  // namespace rdsim

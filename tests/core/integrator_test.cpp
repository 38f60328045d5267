#include <gtest/gtest.h>

#include "core/integrators.h"
#include "core/parameter_intake.h"
#include "core/run_error.h"
#include "fake_window.h"

namespace rdsim {
namespace {

struct Integrator : ::testing::Test {
  Simulation sim;
  testing::FakeBoxes boxes;
  testing::FakeView view;

  void Setup(Mode mode, const char* size) {
    boxes.mode = mode;
    boxes.size = size;
    ReadParameters(sim, boxes, view);
  }
  void Fill(float u, float v) {
    std::fill(sim.buffers.U.begin(), sim.buffers.U.end(), u);
    std::fill(sim.buffers.V.begin(), sim.buffers.V.end(), v);
  }
  float& U(int x, int y) { return sim.buffers.U[static_cast<std::size_t>(x + y * sim.N)]; }
  float U2(int x, int y) const { return sim.buffers.U2[static_cast<std::size_t>(x + y * sim.N)]; }
};

TEST_F(Integrator, UniformSquareStaysExactlyUniform) {
  for (const char* size : {"2", "3", "7", "128"}) {
    Setup(Mode::TwoD, size);
    Fill(3.25f, 1.5f);
    Step2D(sim, Direction::Forward);
    Step2D(sim, Direction::Backward);
    const float u = sim.buffers.U[0], v = sim.buffers.V[0];
    EXPECT_NE(u, 3.25f);
    const std::size_t cells = static_cast<std::size_t>(sim.N) * static_cast<std::size_t>(sim.N);
    for (std::size_t k = 0; k < cells; ++k) {
      ASSERT_EQ(sim.buffers.U[k], u) << size << " cell " << k;
      ASSERT_EQ(sim.buffers.V[k], v) << size << " cell " << k;
    }
  }
}

TEST_F(Integrator, UniformLineStaysExactlyUniform) {
  Setup(Mode::OneD, "17");
  Fill(3.25f, 1.5f);
  Step1D(sim);
  for (int i = 0; i < 17; ++i) {
    ASSERT_EQ(sim.buffers.U[static_cast<std::size_t>(i)], sim.buffers.U[0]);
    ASSERT_EQ(sim.buffers.V2[static_cast<std::size_t>(i)], sim.buffers.V[0]);
  }
}

TEST_F(Integrator, EmptyFieldTakesTheClampedConstantTerms) {
  Setup(Mode::TwoD, "4");
  Fill(0, 0);
  Step2D(sim, Direction::Forward);
  EXPECT_EQ(sim.buffers.U2[5], sim.coef.cU);  // 0.004
  EXPECT_EQ(sim.buffers.V2[5], 0.0f);         // cV = -0.015 clamps to 0
  EXPECT_FALSE(sim.CurrentInU);
  EXPECT_EQ(sim.buffers.U[5], 0.0f);  // the pair read is untouched

  boxes.k[2] = "5";  // cU far above its cap
  Setup(Mode::OneD, "4");
  Fill(0, 0);
  Step1D(sim);
  EXPECT_EQ(sim.buffers.U[2], sim.coef.synUMax);
}

TEST_F(Integrator, ReflectingEdgesCountTheInnerNeighbourTwice) {
  boxes.k = {"0", "0", "0", "0", "0", "0", "0", "0.5", "0", "1", "1"};
  Setup(Mode::TwoD, "4");
  Fill(0, 0);
  U(0, 0) = 1.0f;  // corner: gives the same to both neighbours
  Step2D(sim, Direction::Forward);
  const double w = sim.coef.DuS;
  EXPECT_EQ(U2(1, 0), static_cast<float>(1.0 * w));
  EXPECT_EQ(U2(0, 1), U2(1, 0));
  EXPECT_EQ(U2(1, 1), 0.0f);

  Fill(0, 0);
  U(1, 0) = 1.0f;  // edge cell: its inner neighbour gets w, the corner beside it 2w
  Step2D(sim, Direction::Forward);
  EXPECT_EQ(U2(1, 1), static_cast<float>(1.0 * w));
  EXPECT_EQ(U2(0, 0), static_cast<float>(1.0 * (w + w)));

  Setup(Mode::OneD, "5");
  Fill(0, 0);
  sim.buffers.U[1] = 1.0f;
  Step1D(sim);
  EXPECT_EQ(sim.buffers.U[0], static_cast<float>(2.0 * w));  // the mirrored neighbour
  EXPECT_EQ(sim.buffers.U[2], static_cast<float>(1.0 * w));
}

TEST_F(Integrator, SmallestSquareIsFourCorners) {
  boxes.k = {"0", "0", "0", "0", "0", "0", "0", "0.5", "0", "1", "1"};
  Setup(Mode::TwoD, "2");
  Fill(0, 0);
  U(1, 1) = 1.0f;
  Step2D(sim, Direction::Forward);
  EXPECT_EQ(U2(0, 1), U2(1, 0));
  EXPECT_GT(U2(0, 1), 0.0f);
  EXPECT_EQ(U2(0, 0), 0.0f);
  EXPECT_EQ(sim.buffers.U2[4], 0.0f);  // the spare is never written
}

TEST_F(Integrator, NegativeResultsAreStoredAsZero) {
  boxes.k[3] = "20";  // decay so strong that one step goes below zero
  Setup(Mode::OneD, "6");
  Fill(1.0f, 0.0f);
  Step1D(sim);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(sim.buffers.U[i], 0.0f);
    EXPECT_EQ(sim.buffers.U2[i], 0.0f);
  }
}

TEST_F(Integrator, OverflowLeavesTheNewestFieldIntact) {
  boxes.k[0] = "3e38";  // the activator synthesis of a bright cell overflows single
  Setup(Mode::OneD, "8");
  Fill(0.0f, 0.0f);
  sim.buffers.U[3] = 20.0f;
  const Buffer before = sim.buffers.U;
  try {
    Step1D(sim);
    FAIL();
  } catch (const RunError& error) {
    EXPECT_EQ(error.fault(), Fault::Overflow);
  }
  EXPECT_EQ(sim.buffers.U, before);

  boxes.k[0] = "0.08";
  boxes.k[7] = "1000";  // a huge negative centre weight
  Setup(Mode::TwoD, "8");
  Fill(0.0f, 0.0f);
  sim.buffers.U2[7] = 3e38f;
  sim.CurrentInU = false;
  const Buffer read = sim.buffers.U2;
  try {
    Step2D(sim, Direction::Backward);
    FAIL();
  } catch (const RunError& error) {
    EXPECT_EQ(error.fault(), Fault::Overflow);
  }
  EXPECT_EQ(sim.buffers.U2, read);
  EXPECT_FALSE(sim.CurrentInU);
}

TEST_F(Integrator, ShortBuffersRaiseSubscriptOutOfRange) {
  Setup(Mode::OneD, "8");  // a line's buffers under a square step
  try {
    Step2D(sim, Direction::Forward);
    FAIL();
  } catch (const RunError& error) {
    EXPECT_EQ(error.fault(), Fault::SubscriptOutOfRange);
  }
  EXPECT_TRUE(sim.CurrentInU);
}

}  // namespace
}  // namespace rdsim

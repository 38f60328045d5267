// The engine's integrators against the plain reference transcription, bit for
// bit, over many random fields and coefficients, and at the faults.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/integrators.h"
#include "core/parameter_intake.h"
#include "core/run_error.h"
#include "engine_bridge.h"
#include "random_cases.h"
#include "reference_model.h"

namespace {

using rdsim::Direction;
using reference::CaseRandom;

// The test copies built for one pinned target of the row kernel skip on a
// machine that cannot run it.
bool PinnedTargetRunsHere() {
#if defined(RDSIM_ROW_KERNEL_ONLY) && RDSIM_ROW_KERNEL_ONLY == 512
  return __builtin_cpu_supports("avx512f");
#elif defined(RDSIM_ROW_KERNEL_ONLY) && RDSIM_ROW_KERNEL_ONLY == 2
  return __builtin_cpu_supports("avx2");
#else
  return true;
#endif
}

class StepIdentity : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PinnedTargetRunsHere()) GTEST_SKIP() << "this machine cannot run the pinned target";
  }
};

std::uint32_t Bits(float x) {
  std::uint32_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

// Empty when equal bit for bit, else where and how they first differ.
std::string Difference(const char* name, const std::vector<float>& expected, const std::vector<float>& actual) {
  if (expected.size() != actual.size()) return std::string(name) + ": lengths differ";
  for (std::size_t k = 0; k < expected.size(); ++k) {
    if (Bits(expected[k]) != Bits(actual[k])) {
      std::ostringstream out;
      out.precision(9);
      out << name << "[" << k << "]: reference " << expected[k] << ", engine " << actual[k];
      return out.str();
    }
  }
  return {};
}

void ExpectSameState(const reference::Field& f, const rdsim::Simulation& sim, const std::string& where) {
  const rdsim::FieldBuffers& b = sim.buffers;
  for (const std::string& d : {Difference("U", f.U, b.U), Difference("V", f.V, b.V), Difference("U2", f.U2, b.U2),
                               Difference("V2", f.V2, b.V2)}) {
    ASSERT_TRUE(d.empty()) << where << ": " << d;
  }
  ASSERT_EQ(Bits(f.synU), Bits(sim.synU)) << where << ": synU";
  ASSERT_EQ(Bits(f.synV), Bits(sim.synV)) << where << ": synV";
  ASSERT_EQ(f.currentInU, sim.CurrentInU) << where;
}

std::optional<rdsim::Fault> EngineFault(reference::Fault fault) {
  switch (fault) {
    case reference::Fault::Overflow: return rdsim::Fault::Overflow;
    case reference::Fault::Invalid: return rdsim::Fault::InvalidFloatingPoint;
    case reference::Fault::None: break;
  }
  return std::nullopt;
}

// Runs one step in both models. On a fault both must raise the same one, and
// the engine must keep the pair it read and its CurrentInU. Returns the fault.
template <typename EngineStep, typename ReferenceStep>
reference::Fault StepBoth(rdsim::Simulation& sim, reference::Field& f, EngineStep engineStep,
                          ReferenceStep referenceStep, bool readsU, const std::string& where) {
  const bool flagBefore = sim.CurrentInU;
  const reference::Fault expected = referenceStep();
  std::optional<rdsim::Fault> raised;
  try {
    engineStep();
  } catch (const rdsim::RunError& error) {
    raised = error.fault();
  }
  EXPECT_EQ(EngineFault(expected), raised) << where;
  if (expected != reference::Fault::None) {
    const rdsim::FieldBuffers& b = sim.buffers;
    EXPECT_EQ(Difference("read activator", readsU ? f.U : f.U2, readsU ? b.U : b.U2), "") << where;
    EXPECT_EQ(Difference("read inhibitor", readsU ? f.V : f.V2, readsU ? b.V : b.V2), "") << where;
    EXPECT_EQ(sim.CurrentInU, flagBefore) << where;
  }
  return expected;
}

reference::Fault Step2DBoth(const reference::Coefficients& c, reference::Field& f, rdsim::Simulation& sim, bool forward,
                            const std::string& where) {
  return StepBoth(
      sim, f, [&] { rdsim::Step2D(sim, forward ? Direction::Forward : Direction::Backward); },
      [&] { return reference::Step2D(c, f, forward); }, forward, where);
}

reference::Fault Step1DBoth(const reference::Coefficients& c, reference::Field& f, rdsim::Simulation& sim,
                            const std::string& where) {
  return StepBoth(
      sim, f, [&] { rdsim::Step1D(sim); }, [&] { return reference::Step1D(c, f); }, true, where);
}

std::optional<reference::Coefficients> RandomCoefficients(CaseRandom& random, int neighbours, std::string& texts) {
  const auto k = random.CoefficientTexts();
  texts.clear();
  for (const std::string& t : k) texts += "\"" + t + "\" ";
  return reference::Derive(k, neighbours);
}

// Enough steps for every size, few enough cells for a sanitizer build.
int StepsFor(int cells) { return std::clamp(1000000 / cells, 20, 1000); }

TEST_F(StepIdentity, SquareMatchesReferenceStepByStep) {
  CaseRandom random(20240611);
  for (int n : {2, 3, 4, 5, 9, 10, 11, 12, 17, 18, 31, 64, 127, 128}) {
    for (int kind = 0; kind < CaseRandom::FieldKinds; ++kind) {
      std::string texts;
      const auto c = RandomCoefficients(random, 4, texts);
      if (!c) continue;
      reference::Field f(n, true);
      random.FillField(f, static_cast<std::size_t>(n * n), kind);
      rdsim::Simulation sim;
      reference::LoadIntoEngine(*c, f, sim);
      const int steps = StepsFor(n * n);
      for (int step = 1; step <= steps; ++step) {
        // Mostly as the run loop does; now and then the same direction twice.
        const bool forward = random.Chance(0.9) ? f.currentInU : random.Chance(0.5);
        const std::string where = "N=" + std::to_string(n) + " k=" + texts + " step " + std::to_string(step);
        if (Step2DBoth(*c, f, sim, forward, where) != reference::Fault::None) break;
        ExpectSameState(f, sim, where);
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST_F(StepIdentity, LineMatchesReferenceStepByStep) {
  CaseRandom random(77);
  for (int n : {2, 3, 4, 5, 17, 100, 128}) {
    for (int kind = 0; kind < CaseRandom::FieldKinds; ++kind) {
      std::string texts;
      const auto c = RandomCoefficients(random, 2, texts);
      if (!c) continue;
      reference::Field f(n, false);
      random.FillField(f, static_cast<std::size_t>(n), kind);
      rdsim::Simulation sim;
      reference::LoadIntoEngine(*c, f, sim);
      for (int step = 1; step <= 300; ++step) {
        const std::string where = "N=" + std::to_string(n) + " k=" + texts + " step " + std::to_string(step);
        if (Step1DBoth(*c, f, sim, where) != reference::Fault::None) break;
        ExpectSameState(f, sim, where);
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST_F(StepIdentity, SignedZerosKeepTheirSign) {
  // With -0 constants and positive weights, every sum of a -0.0 field is
  // -0.0 again; a clamp that took it for a negative value would give +0.0.
  const auto c =
      reference::Derive({"0.08", "0.08", "-0", "0.03", "0.06", "-0.03", "-0", "0.01", "0.25", "0.2", "0.5"}, 4);
  ASSERT_TRUE(c.has_value());
  for (int n : {3, 17}) {
    reference::Field f(n, true);
    std::fill(f.U.begin(), f.U.end() - 1, -0.0f);
    std::fill(f.V.begin(), f.V.end() - 1, -0.0f);
    rdsim::Simulation sim;
    reference::LoadIntoEngine(*c, f, sim);
    for (bool forward : {true, false}) {
      ASSERT_EQ(Step2DBoth(*c, f, sim, forward, "signed zeros"), reference::Fault::None);
      ExpectSameState(f, sim, "N=" + std::to_string(n));
    }
    ASSERT_TRUE(std::signbit(f.U[1]) && std::signbit(f.V[1])) << "the case lost its point";
  }
}

TEST_F(StepIdentity, EdgeRowSumsKeepTheirOrder) {
  // A double sum of floats is mostly exact, so the order of its terms rarely
  // shows. Here it does: with a neighbour weight of exactly 0.25 and nothing
  // else in the cell, ((r + l) + (d + d)) lands just above a float midpoint,
  // ((r + l) + d) + d exactly on it, and the two round apart.
  const auto c = reference::Derive({"0", "0", "0", "0", "0", "0", "0", "0.900000036", "0.900000036", "1", "1"}, 4);
  ASSERT_TRUE(c.has_value());
  ASSERT_EQ(c->DuS, 0.25f);
  ASSERT_EQ(c->DvS, 0.25f);
  const int n = 12;
  const float l = std::ldexp(1.0f, -24) - std::ldexp(1.0f, -39);
  const float d = std::ldexp(1.0f, -40) + std::ldexp(3.0f, -55);
  reference::Field f(n, true);
  for (std::vector<float>* field : {&f.U, &f.V}) {
    std::vector<float>& F = *field;
    // Cell (0, 1) and its mirror (n-1, 1), whose outside neighbour is d too.
    F[0] = l;
    F[2] = 1.0f;
    F[n + 1] = d;
    F[(n - 1) * n] = l;
    F[(n - 1) * n + 2] = 1.0f;
    F[(n - 2) * n + 1] = d;
  }
  rdsim::Simulation sim;
  reference::LoadIntoEngine(*c, f, sim);
  ASSERT_EQ(Step2DBoth(*c, f, sim, true, "edge rows"), reference::Fault::None);
  ExpectSameState(f, sim, "edge rows");
  const float expected = 0.25f + std::ldexp(1.0f, -25);
  EXPECT_EQ(f.U2[1], expected) << "the case lost its point";
  EXPECT_EQ(f.V2[(n - 1) * n + 1], expected) << "the case lost its point";
}

// Without diffusion one raised cell overflows on its own, by one of three
// stored values: its new activator (the activator grows, centreU = 1.1), or
// a synthesis term whose cap then hides the overflow from the new value.
struct OverflowCase {
  const char* what;
  std::array<std::string, 11> texts;
  float value;
};
const OverflowCase OverflowCases[] = {
    {"new value", {"0.08", "-0.08", "0.04", "-1", "0.06", "-0.03", "-0.15", "0", "0", "0.2", "0.5"}, FLT_MAX},
    {"synU", {"100", "-0.08", "0.04", "0.03", "0.06", "-0.03", "-0.15", "0", "0", "0.2", "0.5"}, 1e38f},
    {"synV", {"0.08", "-0.08", "0.04", "0.03", "100", "-0.03", "-0.15", "0", "0", "0.2", "0.5"}, 1e38f},
};

TEST_F(StepIdentity, SquareFaultsAtTheFirstFailingCellWhereverItIs) {
  for (const OverflowCase& overflow : OverflowCases) {
    const reference::Coefficients c = *reference::Derive(overflow.texts, 4);
    for (int n : {3, 17, 128}) {
      // Corner, first inner column, an inner cell, the cells the last block
      // of a row redoes, the last column, the last cell.
      for (int k : {0, 1, n + 1, 5 * n + n / 2, 6 * n - 3, 6 * n - 2, 6 * n - 1, n * n - 1}) {
        if (k >= n * n) continue;
        for (bool forward : {true, false}) {
          reference::Field f(n, true);
          std::vector<float>& S = forward ? f.U : f.U2;
          S[static_cast<std::size_t>(k)] = overflow.value;
          f.currentInU = forward;
          rdsim::Simulation sim;
          reference::LoadIntoEngine(c, f, sim);
          const std::string where =
              std::string(overflow.what) + " N=" + std::to_string(n) + " cell " + std::to_string(k);
          EXPECT_EQ(Step2DBoth(c, f, sim, forward, where), reference::Fault::Overflow) << where;
        }
      }
    }
  }
}

TEST_F(StepIdentity, SquareRaisesTheFaultOfTheEarlierCell) {
  const reference::Coefficients c = *reference::Derive(OverflowCases[0].texts, 4);
  const int n = 40;
  // A NaN inhibitor spoils its own cell and, through the neighbour sums, the
  // cells around it; the overflow is one cell on its own.
  for (auto [overflowRow, nanRow, expected] :
       {std::tuple{2, 9, reference::Fault::Overflow}, std::tuple{9, 2, reference::Fault::Invalid}}) {
    reference::Field f(n, true);
    f.U[static_cast<std::size_t>(overflowRow * n + 20)] = FLT_MAX;
    f.V[static_cast<std::size_t>(nanRow * n + 13)] = std::nanf("");
    rdsim::Simulation sim;
    reference::LoadIntoEngine(c, f, sim);
    EXPECT_EQ(Step2DBoth(c, f, sim, true, "rows " + std::to_string(overflowRow)), expected);
  }
}

TEST_F(StepIdentity, LineFaultLeavesTheCurrentLine) {
  for (const OverflowCase& overflow : OverflowCases) {
    const reference::Coefficients c = *reference::Derive(overflow.texts, 2);
    for (int k : {0, 1, 8, 16}) {
      reference::Field f(17, false);
      for (int i = 0; i < 17; ++i) f.U[static_cast<std::size_t>(i)] = static_cast<float>(i);
      f.U[static_cast<std::size_t>(k)] = overflow.value;
      rdsim::Simulation sim;
      reference::LoadIntoEngine(c, f, sim);
      const std::string where = std::string(overflow.what) + " cell " + std::to_string(k);
      EXPECT_EQ(Step1DBoth(c, f, sim, where), reference::Fault::Overflow) << where;
    }
  }
}

// The boxes of the window, holding generated texts.
struct Boxes : rdsim::ParameterBoxes {
  std::array<std::string, 11> k;
  rdsim::Mode mode = rdsim::Mode::TwoD;
  std::string CoefficientText(int i) const override { return k.at(static_cast<std::size_t>(i)); }
  std::string IterationsText() const override { return "1"; }
  std::string SizeText() const override { return "4"; }
  void SetSizeText(const std::string&) override {}
  rdsim::Mode SelectedMode() const override { return mode; }
};

// The identity tests above hand the reference's coefficients to the engine;
// this ties them to what the engine's own intake derives from the same texts.
TEST_F(StepIdentity, IntakeDerivesTheReferenceCoefficients) {
  CaseRandom random(5);
  for (int trial = 0; trial < 200; ++trial) {
    Boxes boxes;
    boxes.k = random.CoefficientTexts();
    boxes.mode = trial % 2 ? rdsim::Mode::OneD : rdsim::Mode::TwoD;
    const auto expected = reference::Derive(boxes.k, boxes.mode == rdsim::Mode::OneD ? 2 : 4);
    ASSERT_TRUE(expected.has_value());
    rdsim::Simulation sim;
    rdsim::ReadParameters(sim, boxes);
    const rdsim::StepCoefficients want = reference::ToEngine(*expected);
    EXPECT_EQ(std::memcmp(&want, &sim.coef, sizeof want), 0) << "trial " << trial;
  }
}

}  // namespace

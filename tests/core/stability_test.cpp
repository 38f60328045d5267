#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <tuple>

#include "analysis/dispersion_curve.h"
#include "analysis/grid_modes.h"
#include "analysis/linear_stability.h"
#include "analysis/one_step_map.h"
#include "analysis/stability_csv.h"
#include "analysis/stability_verdict.h"
#include "command_line/intake.h"
#include "core/number_text.h"
#include "core/parameter_intake.h"
#include "core/step_loop.h"
#include "fake_window.h"
#include "params/builtin_presets.h"

namespace rdsim {
namespace {

using testing::PresetTexts;
using testing::SplitTexts;

using Texts = std::array<std::string, 11>;

// The window's intake on the given texts.
void TakeTexts(Simulation& sim, const Texts& texts, Mode mode, int size) {
  testing::FakeBoxes boxes;
  testing::FakeView view;
  boxes.k = texts;
  boxes.mode = mode;
  boxes.size = std::to_string(size);
  ReadParameters(sim, boxes, view);
}

StabilityReport Analyse(const Texts& texts, Mode mode, int size) {
  Simulation sim;
  TakeTexts(sim, texts, mode, size);
  return AnalyseStability(sim.coef, mode, size);
}

// Cell (x, y) of a mode whose ends mirror through the end cell.
double Cosine(int m, int x, int n) { return std::cos(std::numbers::pi * m * x / (n - 1)); }

// Runs `steps` steps of the engine from the uniform state (u, v) plus the mode
// (m, n) with amplitudes (a, b), and returns the mode's amplitudes after them,
// less those of the same run without the mode (the drift of a state that is
// a steady state only up to rounding).
std::array<double, 2> EngineAmplitudes(const Texts& texts, Mode mode, int size, double u, double v, int m, int n,
                                       double a, double b, int steps) {
  std::array<std::vector<float>, 2> ends;
  const int rows = mode == Mode::TwoD ? size : 1;
  const std::size_t cells = static_cast<std::size_t>(size) * static_cast<std::size_t>(rows);
  for (int run = 0; run < 2; ++run) {
    Simulation sim;
    TakeTexts(sim, texts, mode, size);
    std::vector<float> field(2 * cells);
    for (int y = 0; y < rows; ++y) {
      for (int x = 0; x < size; ++x) {
        const double shape = run == 0 ? 0.0 : Cosine(m, x, size) * (mode == Mode::TwoD ? Cosine(n, y, size) : 1.0);
        const std::size_t k = static_cast<std::size_t>(x + y * size);
        field[k] = static_cast<float>(u + a * shape);
        field[cells + k] = static_cast<float>(v + b * shape);
      }
    }
    cli::LoadField(sim, mode, field);
    const StepLoopOutcome outcome = RunSteps(sim, mode, steps);
    EXPECT_FALSE(outcome.fault.has_value());
    ends[static_cast<std::size_t>(run)] = cli::NewestField(sim, mode);
  }
  // The modes are orthogonal when the end cells weigh half.
  std::array<double, 2> amplitude{};
  double norm = 0;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < size; ++x) {
      const double weight =
          (x == 0 || x == size - 1 ? 0.5 : 1.0) * (mode == Mode::TwoD && (y == 0 || y == size - 1) ? 0.5 : 1.0);
      const double shape = Cosine(m, x, size) * (mode == Mode::TwoD ? Cosine(n, y, size) : 1.0);
      const std::size_t k = static_cast<std::size_t>(x + y * size);
      for (std::size_t s = 0; s < 2; ++s) {
        amplitude[s] += weight * shape * (double{ends[1][s * cells + k]} - ends[0][s * cells + k]);
      }
      norm += weight * shape * shape;
    }
  }
  return {amplitude[0] / norm, amplitude[1] / norm};
}

struct MapCase {
  const char* preset;
  Mode mode;
  int size;
  std::size_t state;  // index into the report's states
  int m, n;           // n = -1 on a line
  bool complexPair;
};

// The step is affine around a steady state: 40 steps of the engine move a
// mode's amplitudes exactly as the 40th power of the one-step matrix does.
// This pins the edge rule (the modes), the scaling by dt and the matrix order.
TEST(OneStepMap, PredictsTheEngineModeByMode) {
  const MapCase cases[] = {
      {"Labyrinth", Mode::OneD, 48, 0, 0, -1, true},    // the uniform oscillation
      {"Labyrinth", Mode::OneD, 48, 0, 7, -1, false},   // a growing stripe
      {"Labyrinth", Mode::OneD, 48, 0, 47, -1, false},  // the shortest, decaying
      {"Labyrinth", Mode::TwoD, 32, 0, 3, 4, false},   {"Labyrinth", Mode::TwoD, 32, 0, 0, 5, false},
      {"Labyrinth", Mode::TwoD, 32, 0, 31, 30, false}, {"Spiral waves", Mode::TwoD, 24, 2, 0, 0, true},
      {"Spiral waves", Mode::TwoD, 24, 2, 2, 3, true}, {"Pulsing", Mode::OneD, 40, 0, 5, -1, false},
      {"Pulses (1D)", Mode::OneD, 32, 0, 3, -1, true},  // the inhibitor does not diffuse
  };
  constexpr int Steps = 40;
  for (const MapCase& c : cases) {
    SCOPED_TRACE(std::string(c.preset) + " m=" + std::to_string(c.m) + " n=" + std::to_string(c.n));
    const Texts texts = PresetTexts(c.preset);
    Simulation sim;
    TakeTexts(sim, texts, c.mode, c.size);
    const StabilityReport report = AnalyseStability(sim.coef, c.mode, c.size);
    ASSERT_LT(c.state, report.states.size());
    const StateStability& state = report.states[c.state];
    const ModeFactors& mode = state.modes[static_cast<std::size_t>(c.mode == Mode::TwoD ? c.m * c.size + c.n : c.m)];
    ASSERT_EQ(mode.m, c.m);
    ASSERT_EQ(mode.n, c.n);
    EXPECT_EQ(mode.factors[0].imag() != 0, c.complexPair);

    const analysis::LineModes line = analysis::ModesOfLine(c.size);
    const auto sum = [&](int k) { return k < 0 ? 0.0 : line.neighbourSum[static_cast<std::size_t>(k)]; };
    const double neighbourSum = sum(c.m) + sum(c.n);
    const analysis::StepMatrix a = analysis::ModeStepMatrix(sim.coef, analysis::CentreWeightsFor(sim.coef, c.mode),
                                                            state.state.regionU, state.state.regionV, neighbourSum);
    double pu = 0.05, pv = 0.05;
    for (int k = 0; k < Steps; ++k) {
      const double nu = a.uu * pu + a.uv * pv;
      pv = a.vu * pu + a.vv * pv;
      pu = nu;
    }
    const auto [eu, ev] =
        EngineAmplitudes(texts, c.mode, c.size, state.state.u, state.state.v, c.m, c.n, 0.05, 0.05, Steps);
    const double error = std::hypot(eu - pu, ev - pv) / std::hypot(pu, pv);
    EXPECT_LT(error, 1e-4) << "engine (" << eu << ", " << ev << "), matrix (" << pu << ", " << pv << ")";

    // The factors are the matrix's eigenvalues: their product and sum.
    const std::complex<double> f0 = mode.factors[0], f1 = mode.factors[1];
    EXPECT_NEAR((f0 * f1).real(), a.uu * a.vv - a.uv * a.vu, 1e-12);
    EXPECT_NEAR((f0 + f1).real(), a.uu + a.vv, 1e-12);
    EXPECT_GE(std::abs(f0), std::abs(f1));
  }
}

// A clamped synthesis is a constant: its species keeps only its decay and
// diffusion, while the other's linear terms stay. By hand, at the mode whose
// neighbours add up to nothing (N = 3, m = 1).
TEST(OneStepMap, MatchesAMatrixByHandWhereOneSynthesisIsClamped) {
  using R = SynthesisRegion;
  const auto self = [](double k, double d) { return 1 - 2 * (d * 0.1 / 0.36) + 0.1 * k; };  // dt = 0.1, dx = 0.6
  const struct {
    const char* params;
    std::size_t state;
    R regionU, regionV;
    analysis::StepMatrix expected;
  } cases[] = {
      // u at synU_max (0.2 / 0.03), v linear.
      {"0.03,0,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5",
       0,
       R::Above,
       R::Between,
       {self(-0.03, 0.01), 0, 0.006, self(-0.03, 0.25)}},
      // u linear, v clamped at 0: the state (0.05 / 0.11, 0).
      {"0.14,-0.1,-0.05,0.03,0.1,-0.03,-0.35,0.05,0.05,0.3,0.5",
       1,
       R::Between,
       R::Below,
       {self(0.14 - 0.03, 0.05), -0.01, 0, self(-0.03, 0.05)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.params);
    Simulation sim;
    TakeTexts(sim, SplitTexts(c.params), Mode::OneD, 3);
    const StabilityReport report = AnalyseStability(sim.coef, Mode::OneD, 3);
    ASSERT_LT(c.state, report.states.size());
    const SteadyState& state = report.states[c.state].state;
    ASSERT_EQ(state.regionU, c.regionU);
    ASSERT_EQ(state.regionV, c.regionV);
    const double neighbourSum = analysis::ModesOfLine(3).neighbourSum[1];
    ASSERT_NEAR(neighbourSum, 0, 1e-12);
    const analysis::StepMatrix a = analysis::ModeStepMatrix(sim.coef, analysis::CentreWeightsFor(sim.coef, Mode::OneD),
                                                            state.regionU, state.regionV, neighbourSum);
    const analysis::StepMatrix& e = c.expected;
    EXPECT_NEAR(a.uu, e.uu, 1e-7);
    EXPECT_NEAR(a.uv, e.uv, 1e-7);
    EXPECT_NEAR(a.vu, e.vu, 1e-7);
    EXPECT_NEAR(a.vv, e.vv, 1e-7);
    // One entry off the diagonal is 0: the factors are the diagonal.
    const auto& factors = report.states[c.state].modes[1].factors;
    EXPECT_NEAR(std::max(factors[0].real(), factors[1].real()), std::max(e.uu, e.vv), 1e-7);
    EXPECT_NEAR(std::min(factors[0].real(), factors[1].real()), std::min(e.uu, e.vv), 1e-7);
  }
}

struct ExpectedState {
  double u, v;
  SynthesisRegion regionU, regionV;
};

struct SteadyCase {
  const char* params;
  std::vector<ExpectedState> states;  // solved by hand, in order of u
};

// Each region of the clamps, solved by hand: decay u = synU, decay v = synV.
TEST(SteadyStates, MatchADirectSolveInEveryRegion) {
  using R = SynthesisRegion;
  const SteadyCase cases[] = {
      // 0.03 u = 0.08 u - 0.08 v + 0.04 and 0.03 v = 0.06 u - 0.15.
      {"0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5", {{4, 3, R::Between, R::Between}}},
      // At rest at 0; u = 0.05 / 0.11 with v at 0; the focus.
      {"0.14,-0.1,-0.05,0.03,0.1,-0.03,-0.35,0.05,0.05,0.3,0.5",
       {{0, 0, R::Below, R::Below}, {0.05 / 0.11, 0, R::Between, R::Below}, {5, 5, R::Between, R::Between}}},
      // k9 = 0.05: u = 0.05 / 0.03, v at 0.
      {"0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.05,0.5", {{5.0 / 3, 0, R::Above, R::Below}}},
      // k10 = 0.05 and k6 > 0: v = 0.05 / 0.03 whatever u, three activator levels.
      {"0.08,-0.08,0.04,0.03,0.06,-0.03,0.1,0.01,0.25,0.2,0.05",
       {{0, 5.0 / 3, R::Below, R::Above},
        {(0.08 * 5.0 / 3 - 0.04) / 0.05, 5.0 / 3, R::Between, R::Above},
        {0.2 / 0.03, 5.0 / 3, R::Above, R::Above}}},
      // k10 = 0.05, k6 < 0: both clamped at the top.
      {"0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.05", {{0.2 / 0.03, 0.05 / 0.03, R::Above, R::Above}}},
      // k0 = k3 and no v in synU: the linear range is singular but inconsistent.
      {"0.03,0,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5", {{0.2 / 0.03, 0.25 / 0.03, R::Above, R::Between}}},
  };
  for (const SteadyCase& c : cases) {
    SCOPED_TRACE(c.params);
    const StabilityReport report = Analyse(SplitTexts(c.params), Mode::OneD, 16);
    ASSERT_EQ(report.states.size(), c.states.size());
    for (std::size_t i = 0; i < c.states.size(); ++i) {
      const SteadyState& s = report.states[i].state;
      const ExpectedState& e = c.states[i];
      // The coefficients are rounded to single precision.
      EXPECT_NEAR(s.u, e.u, 1e-5 * (1 + e.u)) << "state " << i;
      EXPECT_NEAR(s.v, e.v, 1e-5 * (1 + e.v)) << "state " << i;
      EXPECT_EQ(s.regionU, e.regionU) << "state " << i;
      EXPECT_EQ(s.regionV, e.regionV) << "state " << i;
      EXPECT_FALSE(s.onEdgeU || s.onEdgeV) << "state " << i;
    }
  }
}

// k9 = 0.12 puts the activator synthesis of the state (4, 3) exactly at its
// limit: one state, found from both sides, flagged as on the edge.
TEST(SteadyStates, StateOnARegionEdgeIsFoundOnceAndFlagged) {
  const StabilityReport report =
      Analyse(SplitTexts("0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.12,0.5"), Mode::OneD, 16);
  ASSERT_EQ(report.states.size(), 1u);
  const SteadyState& s = report.states[0].state;
  EXPECT_NEAR(s.u, 4, 1e-5);
  EXPECT_NEAR(s.v, 3, 1e-5);
  EXPECT_TRUE(s.onEdgeU);
  EXPECT_FALSE(s.onEdgeV);
  EXPECT_EQ(s.regionU, SynthesisRegion::Between);  // the clamp keeps a term equal to its limit
  EXPECT_EQ(s.otherU, SynthesisRegion::Above);
  EXPECT_NE(DescribeStability(report).find("on the edge"), std::string::npos);
}

struct FaultCase {
  const char* params;
  Fault fault;
  const char* words;
};

TEST(SteadyStates, FaultsAreRunErrorsInPlainWords) {
  const FaultCase cases[] = {
      // The activator grows by itself: no rest point with u >= 0.
      {"0,0,0.1,-0.03,0,-0.03,0,0.01,0.25,0.2,0.5", Fault::InvalidFloatingPoint, "no uniform steady state"},
      // synU is 0 whatever u: a line of states.
      {"0,0,0,0,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5", Fault::DivisionByZero, "not isolated"},
      // k3 = k5 = 0 and both syntheses clamped at 0: an area of states.
      {"0.08,-0.08,0.04,0,0.06,0,-0.15,0.01,0.25,0.2,0.5", Fault::DivisionByZero, "not isolated"},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.params);
    try {
      Analyse(SplitTexts(c.params), Mode::TwoD, 8);
      ADD_FAILURE() << "no error";
    } catch (const RunError& error) {
      EXPECT_EQ(error.fault(), c.fault);
      EXPECT_NE(std::string(error.what()).find(c.words), std::string::npos) << error.what();
    }
  }
  const StepCoefficients design =
      ScaleCoefficients({0.08, -0.08, 0.04, 0.03, 0.06, -0.03, -0.15, 0.01, 0.25, 0.2, 0.5}, Mode::TwoD);
  for (const int size : {1, 129, 100000}) EXPECT_THROW(AnalyseStability(design, Mode::TwoD, size), RunError) << size;
  EXPECT_THROW(AnalyseStability(design, Mode::None, 8), RunError);
}

// A uniform field at a steady state stays there under the engine.
TEST(SteadyStates, EngineKeepsAUniformFieldAtEachState) {
  const Texts texts = PresetTexts("Spiral waves");
  for (const StateStability& state : Analyse(texts, Mode::OneD, 8).states) {
    Simulation sim;
    TakeTexts(sim, texts, Mode::OneD, 8);
    std::vector<float> field(8, static_cast<float>(state.state.u));
    field.resize(16, static_cast<float>(state.state.v));
    cli::LoadField(sim, Mode::OneD, field);
    RunSteps(sim, Mode::OneD, 20);
    for (std::size_t i = 0; i < 8; ++i) {
      EXPECT_NEAR(sim.buffers.U[i], state.state.u, 1e-5 * (1 + state.state.u));
      EXPECT_NEAR(sim.buffers.V[i], state.state.v, 1e-5 * (1 + state.state.v));
    }
  }
}

struct PresetCase {
  const char* preset;
  Mode mode;
  int size;
  double stateU;                         // the state to judge, by its activator level
  std::vector<GrowthKind> kinds;         // fastest first
  double wavelengthLow, wavelengthHigh;  // of the fastest mode; 0, 0 for the uniform mode
};

TEST(Verdict, BuiltinPresets) {
  using K = GrowthKind;
  const PresetCase cases[] = {
      // The uniform state also oscillates, more slowly.
      {"Labyrinth", Mode::TwoD, 128, 4, {K::StationaryPattern, K::UniformOscillation}, 9.3, 9.9},
      {"Spiral waves", Mode::TwoD, 128, 5, {K::UniformOscillation, K::NumericalInstability}, 0, 0},
      {"Spiral waves", Mode::TwoD, 128, 0, {}, 0, 0},
      // The uniform state runs away without oscillating; a pattern outgrows it.
      {"Pulsing", Mode::TwoD, 128, 4.26667, {K::StationaryPattern, K::UniformRunaway}, 11, 13},
      {"Pulses (1D)", Mode::OneD, 128, 5, {K::UniformOscillation}, 0, 0},
  };
  for (const PresetCase& c : cases) {
    SCOPED_TRACE(c.preset);
    const StabilityReport report = Analyse(PresetTexts(c.preset), c.mode, c.size);
    const auto state = std::find_if(report.states.begin(), report.states.end(),
                                    [&](const StateStability& s) { return std::abs(s.state.u - c.stateU) < 1e-3; });
    ASSERT_NE(state, report.states.end());
    std::vector<GrowthKind> kinds;
    for (const Growth& g : state->growth) kinds.push_back(g.kind);
    EXPECT_EQ(kinds, c.kinds);
    if (kinds.empty()) {
      EXPECT_STREQ(VerdictShortName(*state), "stable");
      continue;
    }
    const Growth& fastest = state->growth.front();
    if (c.wavelengthHigh == 0) {
      EXPECT_TRUE(std::isinf(fastest.wavelength));
    } else {
      EXPECT_GT(fastest.wavelength, c.wavelengthLow);
      EXPECT_LT(fastest.wavelength, c.wavelengthHigh);
      EXPECT_NEAR(fastest.acrossField, c.size / fastest.wavelength, 1e-12);
    }
    EXPECT_NEAR(fastest.per1000Steps, std::pow(fastest.perStep, 1000), 1e-9 * fastest.per1000Steps);
  }
}

// Judging the modes: which growth counts, and as what.
struct ClassifyCase {
  const char* what;
  std::vector<ModeFactors> modes;
  std::vector<GrowthKind> kinds;
};

ModeFactors Factors(int m, std::complex<double> f0, std::complex<double> f1) {
  ModeFactors mode;
  mode.m = m;
  mode.factors = {f0, f1};
  return mode;
}

TEST(Verdict, KindsOfGrowth) {
  using K = GrowthKind;
  using C = std::complex<double>;
  const ClassifyCase cases[] = {
      {"all decay", {Factors(0, 0.99, 0.9), Factors(3, 0.999, 0.5)}, {}},
      {"rounding is not growth", {Factors(0, 1 + 1e-8, 0.9), Factors(3, 1 + 5e-7, 0.5)}, {}},
      {"pattern alone", {Factors(0, 0.99, 0.9), Factors(3, 1.01, 0.5)}, {K::StationaryPattern}},
      {"a pattern slower than the uniform mode is its tail",
       {Factors(0, C(1.01, 0.01), C(1.01, -0.01)), Factors(1, 1.005, 0.5)},
       {K::UniformOscillation}},
      {"a faster pattern beside a uniform oscillation",
       {Factors(0, C(1.01, 0.01), C(1.01, -0.01)), Factors(4, 1.02, 0.5)},
       {K::StationaryPattern, K::UniformOscillation}},
      {"an oscillating pattern",
       {Factors(0, 0.99, 0.9), Factors(5, C(1.01, 0.1), C(1.01, -0.1))},
       {K::OscillatingPattern}},
      {"a uniform runaway", {Factors(0, 1.03, 0.9), Factors(5, 0.9, 0.8)}, {K::UniformRunaway}},
      // Decays in continuous time (Re f < 1) but |f| > 1: Euler's doing.
      {"a checkerboard flip", {Factors(0, 0.99, 0.9), Factors(9, -1.2, 0.5)}, {K::NumericalInstability}},
      {"a spiral out of a decaying focus", {Factors(2, C(0.999, 0.1), C(0.999, -0.1))}, {K::NumericalInstability}},
  };
  for (const ClassifyCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<GrowthKind> kinds;
    for (const Growth& g : analysis::ClassifyGrowth(c.modes, 10)) kinds.push_back(g.kind);
    EXPECT_EQ(kinds, c.kinds);
  }
  // The flip has a period of two steps.
  EXPECT_DOUBLE_EQ(analysis::ClassifyGrowth({Factors(9, -1.2, 0.5)}, 10)[0].periodSteps, 2.0);
}

// A diffusion weight past 1/8 makes the square's shortest mode flip and grow.
TEST(Verdict, LargeInhibitorDiffusionIsNumericallyUnstableInTheSquareOnly) {
  const Texts texts = SplitTexts("0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,1.0,0.2,0.5");
  const StabilityReport square = Analyse(texts, Mode::TwoD, 32);
  ASSERT_EQ(square.states.size(), 1u);
  const Growth& fastest = square.states[0].growth.front();
  EXPECT_EQ(fastest.kind, GrowthKind::NumericalInstability);
  EXPECT_EQ(fastest.m, 31);
  EXPECT_EQ(fastest.n, 31);
  EXPECT_STREQ(VerdictShortName(square.states[0]), "numerically_unstable");
  const StabilityReport line = Analyse(texts, Mode::OneD, 32);  // a range-for would outlive a temporary
  for (const Growth& g : line.states[0].growth) {
    EXPECT_NE(g.kind, GrowthKind::NumericalInstability);
  }
}

// Factors show how far from 1 they are, and a numerical instability says
// where it comes from and what helps: not always smaller diffusion.
TEST(Verdict, NumericalGrowthSaysWhereFromAndWhatHelps) {
  EXPECT_EQ(analysis::FactorText(0.9999987) + " " + analysis::FactorText(1.00245), "0.9999987 1.00245");
  // k8, k3 (in that order of "0.08,-0.08,0.04,k3,0.06,-0.03,-0.15,0.01,k8,0.2,0.5"), mode, size, what is said.
  const std::tuple<const char*, const char*, Mode, int, const char*> cases[] = {
      {"0.05", "0.03", Mode::TwoD, 128, "x1.0000032 per step|kinetics' oscillation|1228 steps|diffusion does not"},
      {"1.0", "0.03", Mode::TwoD, 32, "waves of 1.41 to 1.75 cells|Smaller diffusion constants|D up to 0.9 on"},
      {"2.5", "0.03", Mode::OneD, 128, "D up to 1.8 on"},
      {"0.25", "25", Mode::OneD, 16, "even the uniform field relaxes faster|a smaller decay k3"},
  };
  for (const auto& [k8, k3, mode, size, said] : cases) {
    const std::string k = "0.08,-0.08,0.04," + std::string(k3) + ",0.06,-0.03,-0.15,0.01," + k8 + ",0.2,0.5";
    const StabilityReport report = Analyse(SplitTexts(k), mode, size);
    const std::string details = DescribeStability(report), headline = StabilityHeadline(report.states.at(0));
    std::stringstream words(said);
    for (std::string w; std::getline(words, w, '|');) {
      EXPECT_NE(details.find(w), std::string::npos) << details;
      if (w[0] != 'x') {
        EXPECT_NE(headline.find(w), std::string::npos) << headline;
      }
    }
  }
}

TEST(Coefficients, ScaledLikeTheIntakeBitForBit) {
  for (const Mode mode : {Mode::OneD, Mode::TwoD}) {
    for (const char* preset : {"Labyrinth", "Spiral waves", "Pulses (1D)"}) {
      const Texts texts = PresetTexts(preset);
      Simulation sim;
      TakeTexts(sim, texts, mode, 16);
      std::array<double, 11> k{};
      for (std::size_t i = 0; i < k.size(); ++i) k[i] = std::stod(texts[i]);
      const StepCoefficients c = ScaleCoefficients(k, mode);
      EXPECT_EQ(std::memcmp(&c, &sim.coef, sizeof c), 0) << preset;
    }
  }
}

TEST(StabilityCsv, RowsPerModeAndFactorLargestFirst) {
  const Texts texts = PresetTexts("Spiral waves");  // three states
  for (const Mode mode : {Mode::OneD, Mode::TwoD}) {
    const StabilityReport report = Analyse(texts, mode, 12);
    std::stringstream csv(StabilityCsv(report));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "state,m,n,mu,factor_re,factor_im,factor_abs,growth_per_step");
    std::size_t rows = 0;
    int lastState = 0;
    double lastSize = 0;
    while (std::getline(csv, line)) {
      ++rows;
      std::stringstream fields(line);
      std::vector<std::string> f;
      for (std::string field; std::getline(fields, field, ',');) f.push_back(field);
      ASSERT_EQ(f.size(), 8u) << line;
      const int state = std::stoi(f[0]);
      const double size = std::stod(f[6]);
      EXPECT_EQ(f[2].empty(), mode == Mode::OneD) << line;
      if (state == lastState) {
        EXPECT_LE(size, lastSize) << line;
      }
      EXPECT_NEAR(std::stod(f[7]), size - 1, 1e-9) << line;
      EXPECT_NEAR(std::hypot(std::stod(f[4]), std::stod(f[5])), size, 1e-9) << line;
      lastState = state;
      lastSize = size;
    }
    EXPECT_EQ(lastState, 3);
    EXPECT_EQ(rows, 3u * 2u * (mode == Mode::TwoD ? 144u : 12u));
  }
}

}  // namespace
}  // namespace rdsim

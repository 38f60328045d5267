#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "analysis/boxes_stability.h"
#include "analysis/dispersion_curve.h"
#include "analysis/stability_verdict.h"
#include "core/number_text.h"
#include "fake_picture.h"
#include "fake_run_view.h"
#include "fake_window.h"
#include "params/builtin_presets.h"
#include "run/intake.h"

namespace rdsim {
namespace {

using testing::PresetTexts;
using testing::SplitTexts;

using Texts = std::array<std::string, 11>;

testing::FakeBoxes Boxes(const Texts& texts, Mode mode, int size) {
  testing::FakeBoxes boxes;
  boxes.k = texts;
  boxes.mode = mode;
  boxes.size = std::to_string(size);
  return boxes;
}

StabilityReport Analyse(const Texts& texts, Mode mode, int size) {
  const BoxesStability result = AnalyseBoxes(Boxes(texts, mode, size));
  EXPECT_EQ(result.fault, "");
  return result.report.value_or(StabilityReport{});
}

const Texts StableTexts = SplitTexts("0.02,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5");

struct CurveCase {
  const char* what;
  Texts texts;
  Mode mode;
  int size;
  const char* headline;  // how the verdict of the preferred state begins
};

// The plot's data agrees with the report it is drawn from: a dot per mode,
// the bands where the growth is, the fastest dot the highest, every dot on
// the axes.
TEST(DispersionCurve, DrawsEveryModeAndTheReportsBandsAndFastest) {
  const CurveCase cases[] = {
      {"Labyrinth", PresetTexts("Labyrinth"), Mode::TwoD, 128, "Stationary pattern: a wavelength of 9.56 cells"},
      {"Peaks (1D)", PresetTexts("Peaks (1D)"), Mode::OneD, 128, "Stationary pattern: a wavelength of 16.9 cells"},
      {"Spiral waves", PresetTexts("Spiral waves"), Mode::TwoD, 64, "Oscillating uniform state"},
      {"Pulsing", PresetTexts("Pulsing"), Mode::TwoD, 32, "Stationary pattern"},
      {"stable", StableTexts, Mode::OneD, 40, "Stable: every mode decays"},
      {"two cells", PresetTexts("Labyrinth"), Mode::OneD, 2, ""},
  };
  for (const CurveCase& c : cases) {
    SCOPED_TRACE(c.what);
    const StabilityReport report = Analyse(c.texts, c.mode, c.size);
    ASSERT_FALSE(report.states.empty());
    const StateStability& state = report.states[PreferredState(report)];
    EXPECT_EQ(StabilityHeadline(state).rfind(c.headline, 0), 0u) << StabilityHeadline(state);
    const DispersionCurve curve = MakeDispersionCurve(state, c.size);

    const std::size_t side = static_cast<std::size_t>(c.size);
    EXPECT_EQ(curve.dots.size(), c.mode == Mode::TwoD ? side * side : side);
    EXPECT_EQ(curve.curve.size(), side - 1);  // the modes along one side, without the uniform one
    for (std::size_t k = 1; k < curve.curve.size(); ++k) {
      EXPECT_GT(curve.dots[curve.curve[k - 1]].wavelength, curve.dots[curve.curve[k]].wavelength);
    }

    // The report's bands; the uniform mode's reaches down over the long
    // waves that the verdict counts as its slower tail.
    ASSERT_EQ(curve.bands.size(), state.growth.size());
    for (std::size_t k = 0; k < state.growth.size(); ++k) {
      const Growth& g = state.growth[k];
      EXPECT_EQ(curve.bands[k].kind, g.kind);
      EXPECT_EQ(curve.bands[k].longest, g.longestWavelength);
      const bool uniform = g.kind == GrowthKind::UniformOscillation || g.kind == GrowthKind::UniformRunaway;
      if (uniform) {
        EXPECT_LE(curve.bands[k].shortest, g.shortestWavelength);
      } else {
        EXPECT_EQ(curve.bands[k].shortest, g.shortestWavelength);
      }
    }
    double highest = -1;
    for (const DispersionDot& dot : curve.dots) {
      highest = std::max(highest, dot.growth);
      EXPECT_EQ(dot.kind != DotKind::Decays, dot.growth > analysis::GrowthTolerance);
      if (dot.kind == DotKind::Decays) continue;
      bool inBand = false;
      for (const GrowthBand& band : curve.bands) {
        inBand = inBand || (dot.wavelength >= band.shortest && dot.wavelength <= band.longest);
      }
      EXPECT_TRUE(inBand) << "growing mode outside every band: " << dot.m << "," << dot.n;
    }
    EXPECT_EQ(curve.hasFastest, !state.growth.empty());
    if (curve.hasFastest) {
      const DispersionDot& fastest = curve.dots[curve.fastest];
      EXPECT_EQ(fastest.m, state.growth.front().m);
      EXPECT_EQ(fastest.n, state.growth.front().n);
      EXPECT_DOUBLE_EQ(fastest.growth, highest);
      EXPECT_NE(curve.fastestLabel.find("per step"), std::string::npos);
    }

    // Axes: every finite wavelength inside, the highest dot below the
    // ceiling, a zero tick between floor and ceiling, ticks inside.
    EXPECT_LT(curve.shortestWavelength, curve.longestWavelength);
    for (const DispersionDot& dot : curve.dots) {
      if (std::isinf(dot.wavelength)) continue;
      EXPECT_GE(dot.wavelength, curve.shortestWavelength);
      EXPECT_LE(dot.wavelength, curve.longestWavelength);
    }
    EXPECT_GT(curve.growthCeiling, highest);
    EXPECT_LT(curve.growthFloor, 0);
    EXPECT_GT(curve.growthCeiling, 0);
    bool zero = false;
    for (const AxisTick& tick : curve.growthTicks) {
      zero = zero || (tick.value == 0 && tick.label == "0");
      EXPECT_GE(tick.value, curve.growthFloor);
      EXPECT_LE(tick.value, curve.growthCeiling);
    }
    EXPECT_TRUE(zero);
    EXPECT_GE(curve.growthTicks.size(), 3u);
    for (const AxisTick& tick : curve.wavelengthTicks) {
      EXPECT_GE(tick.value, curve.shortestWavelength);
      EXPECT_LE(tick.value, curve.longestWavelength);
    }
  }
}

TEST(DispersionCurve, GrowingModesGetAtLeastAThirdOfTheHeight) {
  const StabilityReport report = Analyse(PresetTexts("Labyrinth"), Mode::OneD, 128);
  const DispersionCurve curve = MakeDispersionCurve(report.states[0], 128);
  EXPECT_GE(curve.growthCeiling / (curve.growthCeiling - curve.growthFloor), 0.3);
  // The line's shortest and longest wavelengths: 2 cells and 2 (N-1).
  EXPECT_DOUBLE_EQ(curve.shortestWavelength, 2.0);
  EXPECT_DOUBLE_EQ(curve.longestWavelength, 254.0);
}

TEST(SteadyStateWords, NameTheRegionsAndPreferTheLinearState) {
  const StabilityReport waves = Analyse(PresetTexts("Spiral waves"), Mode::OneD, 16);
  ASSERT_EQ(waves.states.size(), 3u);
  EXPECT_EQ(PreferredState(waves), 2u);
  EXPECT_EQ(SteadyStateLabel(waves.states[0].state),
            "u = 0, v = 0 (activator synthesis clamped to 0, inhibitor synthesis clamped to 0)");
  EXPECT_EQ(SteadyStateLabel(waves.states[2].state),
            "u = 5, v = 5 (activator synthesis linear, inhibitor synthesis linear)");
}

// The window's analysis reads the boxes as the intake would, and touches nothing.
TEST(AnalyseBoxes, MatchesTheIntakeOrSaysWhyNot) {
  for (const Mode mode : {Mode::OneD, Mode::TwoD}) {
    testing::FakeBoxes boxes = Boxes(PresetTexts("Stripes"), mode, 48);
    Simulation sim;
    testing::FakeView view;
    ReadParameters(sim, boxes, view);
    const StabilityReport expected = AnalyseStability(sim.coef, mode, sim.N);
    const BoxesStability got = AnalyseBoxes(boxes);
    ASSERT_TRUE(got.report);
    ASSERT_EQ(got.report->states.size(), 1u);
    EXPECT_EQ(got.report->N, 48);
    EXPECT_EQ(got.report->states[0].growth.front().perStep, expected.states[0].growth.front().perStep);
    EXPECT_EQ(got.report->states[0].growth.front().m, expected.states[0].growth.front().m);
  }

  struct FaultCase {
    const char* what;
    Texts texts;
    std::string size;
    Mode mode;
    const char* begins;
    const char* mentions;
  };
  Texts badBox = PresetTexts("Labyrinth");
  badBox[3] = "abc";
  const FaultCase faults[] = {
      {"bad box", badBox, "64", Mode::TwoD, "The boxes hold an error: ", "\"abc\", which is not a number"},
      {"bad size", PresetTexts("Labyrinth"), "1e99", Mode::TwoD, "The boxes hold an error: ", "field size"},
      {"no steady state", SplitTexts("0,0,0.1,-0.03,0,-0.03,0,0.01,0.25,0.2,0.5"), "16", Mode::OneD,
       "No analysis for these coefficients: ", "no uniform steady state"},
      {"a line of states", SplitTexts("0,0,0,0,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5"), "16", Mode::OneD,
       "No analysis for these coefficients: ", "not isolated"},
      {"no mode", PresetTexts("Labyrinth"), "16", Mode::None, "Choose 1D or 2D", ""},
  };
  for (const FaultCase& c : faults) {
    SCOPED_TRACE(c.what);
    testing::FakeBoxes boxes = Boxes(c.texts, c.mode, 0);
    boxes.size = c.size;
    const BoxesStability result = AnalyseBoxes(boxes);
    EXPECT_FALSE(result.report);
    EXPECT_EQ(result.fault.rfind(c.begins, 0), 0u) << result.fault;
    EXPECT_NE(result.fault.find(c.mentions), std::string::npos) << result.fault;
  }

  // A size out of range is analysed at the limit the intake would take,
  // and the box keeps its text for the real intake to correct.
  testing::FakeBoxes large = Boxes(PresetTexts("Labyrinth"), Mode::OneD, 500);
  const BoxesStability clamped = AnalyseBoxes(large);
  ASSERT_TRUE(clamped.report);
  EXPECT_EQ(clamped.report->N, 128);
  EXPECT_EQ(large.size, "500");
}

// The window's intake tells the view after every reading of the boxes, the
// refused ones included, and the refusal still reaches the event's boundary.

TEST(WindowIntake, TellsTheViewAfterEveryReadingOfTheBoxes) {
  Session session;
  testing::FakeRunView view;
  view.size = "16";
  ReadParameters(session, view);
  EXPECT_EQ(view.reads, 1);
  view.k[5] = "x";
  EXPECT_THROW(ReadParameters(session, view), RunError);
  EXPECT_EQ(view.reads, 2);
}

}  // namespace
}  // namespace rdsim

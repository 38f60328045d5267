#include <gtest/gtest.h>

#include <functional>

#include "core/integrators.h"
#include "core/parameter_intake.h"
#include "core/run_error.h"
#include "core/step_loop.h"
#include "fake_window.h"

namespace rdsim {
namespace {

using testing::FakeBoxes;
using testing::FakeView;

struct Intake : ::testing::Test {
  Simulation sim;
  FakeBoxes boxes;
  FakeView view;

  void Read() { ReadParameters(sim, boxes, view); }
  Fault ReadFault() {
    try {
      Read();
    } catch (const RunError& error) {
      return error.fault();
    }
    ADD_FAILURE() << "the intake did not fail";
    return Fault::Overflow;
  }
};

TEST_F(Intake, DerivesTheDesignCoefficients) {
  boxes.mode = Mode::TwoD;
  Read();
  const StepCoefficients& c = sim.coef;
  EXPECT_NEAR(c.aU, 0.008, 1e-9);
  EXPECT_NEAR(c.bU, -0.008, 1e-9);
  EXPECT_NEAR(c.cU, 0.004, 1e-9);
  EXPECT_NEAR(c.decayU, 0.003, 1e-9);
  EXPECT_NEAR(c.aV, 0.006, 1e-9);
  EXPECT_NEAR(c.bV, -0.003, 1e-9);
  EXPECT_NEAR(c.cV, -0.015, 1e-9);
  EXPECT_NEAR(c.synUMax, 0.02, 1e-9);
  EXPECT_NEAR(c.synVMax, 0.05, 1e-9);
  EXPECT_EQ(c.Du, 0.01f);
  EXPECT_EQ(c.Dv, 0.25f);
  EXPECT_NEAR(c.DuS, 0.00277778, 5e-9);
  EXPECT_NEAR(c.DvS, 0.0694444, 5e-8);
  EXPECT_NEAR(c.centreU, 0.985889, 5e-7);
  EXPECT_NEAR(c.centreV, 0.719222, 5e-7);
  EXPECT_EQ(sim.StepsPerImage, 20);

  boxes.mode = Mode::OneD;
  Read();
  EXPECT_NEAR(sim.coef.centreU, 0.991444, 5e-7);
  EXPECT_NEAR(sim.coef.centreV, 0.858111, 5e-7);
}

TEST_F(Intake, SizesAndPlacesTheFieldOfEachMode) {
  Read();
  EXPECT_EQ(sim.N, 128);
  EXPECT_EQ(sim.Nm1, 127);
  EXPECT_EQ(sim.Nm2, 126);
  EXPECT_EQ(sim.buffers.U2.size(), 129u);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"fit profiles", "draw profiles"}));
  EXPECT_EQ(view.cells, 128);

  view.calls.clear();
  boxes.mode = Mode::TwoD;
  boxes.size = "5";
  Read();
  EXPECT_EQ(sim.buffers.V2.size(), 5u * 5u + 1u);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"fit field", "draw field"}));
  EXPECT_EQ(view.cells, 5);
}

TEST_F(Intake, KeepsValuesByIndexWhenResizing) {
  Read();
  for (int i = 0; i <= 128; ++i) sim.buffers.U[static_cast<std::size_t>(i)] = static_cast<float>(i + 1);
  boxes.mode = Mode::TwoD;
  Read();
  EXPECT_EQ(sim.buffers.U[0], 1.0f);
  EXPECT_EQ(sim.buffers.U[128], 129.0f);  // the spare became row 1, column 0
  EXPECT_EQ(sim.buffers.U[129], 0.0f);
  EXPECT_EQ(sim.buffers.U.back(), 0.0f);
  boxes.mode = Mode::OneD;
  Read();
  EXPECT_EQ(sim.buffers.U.size(), 129u);
  EXPECT_EQ(sim.buffers.U[128], 129.0f);
}

TEST_F(Intake, LimitsTheFieldSize) {
  struct Case {
    const char* typed;
    int n;
    const char* shown;
  };
  for (const Case& c : {Case{"129", 128, "128"}, Case{"500", 128, "128"}, Case{"100.5", 101, "100.5"},
                        Case{"101.5", 101, "101.5"}, Case{"2.5", 3, "2.5"}, Case{"2", 2, "2"}, Case{"1", 2, "2"},
                        Case{"0", 2, "2"}, Case{"-7", 2, "2"}, Case{"1.4", 2, "2"}}) {
    boxes.size = c.typed;
    Read();
    EXPECT_EQ(sim.N, c.n) << c.typed;
    EXPECT_EQ(boxes.size, c.shown) << c.typed;
    EXPECT_EQ(sim.buffers.U.size(), static_cast<std::size_t>(c.n + 1)) << c.typed;
  }
  boxes.size = "1e10";
  EXPECT_EQ(ReadFault(), Fault::Overflow);
}

TEST_F(Intake, StopsAtTheFirstBadBoxKeepingWhatCameBefore) {
  Read();
  const StepCoefficients before = sim.coef;
  view.calls.clear();
  boxes.iterations = "7";
  boxes.size = "64";
  boxes.k[0] = "1";
  boxes.k[3] = "2";
  boxes.k[4] = "";
  boxes.k[5] = "3";
  EXPECT_EQ(ReadFault(), Fault::TypeMismatch);
  EXPECT_EQ(sim.StepsPerImage, 7);
  EXPECT_EQ(sim.N, 64);
  EXPECT_NEAR(sim.coef.aU, 0.1, 1e-7);
  EXPECT_NEAR(sim.coef.decayU, 0.2, 1e-7);
  EXPECT_EQ(sim.coef.aV, before.aV);
  EXPECT_EQ(sim.coef.bV, before.bV);
  EXPECT_EQ(sim.coef.centreU, before.centreU);
  EXPECT_EQ(sim.buffers.U.size(), 129u);  // no resize
  EXPECT_TRUE(view.calls.empty());        // no placement, no redraw
}

TEST_F(Intake, ConvertsTheLimitsBeforeTheDiffusionBoxes) {
  Read();
  boxes.k[10] = "0.9";
  boxes.k[7] = "x";
  boxes.k[8] = "0.5";
  EXPECT_EQ(ReadFault(), Fault::TypeMismatch);
  EXPECT_NEAR(sim.coef.synVMax, 0.09, 1e-8);
  EXPECT_EQ(sim.coef.Dv, 0.25f);

  boxes.k[7] = "0.01";
  boxes.iterations = "abc";
  sim.CurrentInU = false;
  EXPECT_EQ(ReadFault(), Fault::TypeMismatch);
  EXPECT_FALSE(sim.CurrentInU);  // the first box failed before anything changed
}

// Each bad box: the message names it as the user sees it, says what is wrong
// in plain words, why, and what to type instead, and the error carries the
// control to focus. So does a step whose values outgrow single precision.
TEST_F(Intake, NamesTheBoxToFixAndCarriesItsControl) {
  struct Case {
    const char* what;
    std::function<void(FakeBoxes&)> spoil;
    Mode mode;
    std::string message;  // empty: no one box is at fault
    const char* control;
    std::int64_t steps = 0;  // run after the intake, from a field with one raised cell
  };
  const auto notANumber = [](const std::string& range) {
    return "\", which is not a number. A number is digits with an optional sign, one point and an optional exponent "
           "such as E-03. Type a number from " +
           range + ".";
  };
  const auto tooLarge = [](const std::string& range) {
    return "\"). It takes numbers from " + range + ". Type a number in that range.";
  };
  const std::string comma = "\", which is not a number. The program reads only a point as the decimal mark. Type ";
  const std::string times = "-3.402823E+39 to 3.402823E+39", singles = "-3.402823E+38 to 3.402823E+38";
  const std::string ints = "-2147483648 to 2147483647";
  const Case cases[] = {
      {"k4 not a number", [](FakeBoxes& b) { b.k[4] = "abc"; }, Mode::OneD,
       "Type mismatch: the factor of u in the inhibitor equation (k4) holds \"abc" + notANumber(times), "Text1(4)"},
      {"k0 empty", [](FakeBoxes& b) { b.k[0] = ""; }, Mode::OneD,
       "Type mismatch: the factor of u in the activator equation (k0) holds \"" + notANumber(times), "Text1(0)"},
      {"k0 decimal comma", [](FakeBoxes& b) { b.k[0] = "0,08"; }, Mode::OneD,
       "Type mismatch: the factor of u in the activator equation (k0) holds \"0,08" + comma + "0.08 instead.",
       "Text1(0)"},
      {"k2 beyond single", [](FakeBoxes& b) { b.k[2] = "4e39"; }, Mode::OneD,
       "Overflow: the constant term of the activator equation (k2) is too large (\"4e39" + tooLarge(times), "Text1(2)"},
      {"k8 beyond single", [](FakeBoxes& b) { b.k[8] = "1e39"; }, Mode::OneD,
       "Overflow: the diffusion constant of v in the inhibitor equation (k8) is too large (\"1e39" + tooLarge(singles),
       "Text1(8)"},
      {"k10 not a number", [](FakeBoxes& b) { b.k[10] = " -0,5E-1"; }, Mode::OneD,
       "Type mismatch: synV_max, the upper limit of the inhibitor synthesis (k10) holds \" -0,5E-1" + comma +
           " -0.5E-1 instead.",
       "Text1(10)"},
      {"k7 beyond single", [](FakeBoxes& b) { b.k[7] = "-1e39"; }, Mode::OneD,
       "Overflow: the diffusion constant of u in the activator equation (k7) is too large (\"-1e39" + tooLarge(singles),
       "Text1(7)"},
      {"iterations not a number", [](FakeBoxes& b) { b.iterations = "x"; }, Mode::OneD,
       "Type mismatch: the number of iterations per image (Iteration / Image) holds \"x" + notANumber(ints), "Text2"},
      {"iterations beyond 32 bits", [](FakeBoxes& b) { b.iterations = "3e9"; }, Mode::OneD,
       "Overflow: the number of iterations per image (Iteration / Image) is too large (\"3e9" + tooLarge(ints),
       "Text2"},
      {"size not a number", [](FakeBoxes& b) { b.size = "big"; }, Mode::TwoD,
       "Type mismatch: the field size (Field Size) holds \"big" + notANumber("2 to 128"), "Text3"},
      {"size beyond 32 bits", [](FakeBoxes& b) { b.size = "1e10"; }, Mode::TwoD,
       "Overflow: the field size (Field Size) is too large (\"1e10" + tooLarge("2 to 128"), "Text3"},
      // No one box is at fault: the message says so, and no box is focused.
      {"centre weight overflows", [](FakeBoxes& b) { b.k[7] = "3.4e38"; }, Mode::TwoD, "", ""},
      {"diffusion outgrows the step", [](FakeBoxes& b) { b.k[8] = "20"; }, Mode::OneD,
       "Overflow: in step 247 of the run. The values outgrew the numbers the program can hold, usually because these "
       "coefficients make the step unstable. Analysis > Linear Stability shows which modes grow and what makes them "
       "settle.",
       "", 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBoxes fresh;
    fresh.mode = c.mode;
    c.spoil(fresh);
    boxes = fresh;
    try {
      Read();
      sim.U()[3] = 1.0f;
      const StepLoopOutcome outcome = RunSteps(sim, c.mode, c.steps);
      if (outcome.fault) throw StepFault(*outcome.fault, outcome.stepsDone + 1, "Analysis > Linear Stability");
      ADD_FAILURE() << "no fault";
    } catch (const RunError& error) {
      const std::string what = error.what();
      if (!c.message.empty()) {
        EXPECT_EQ(what, c.message);
      } else {
        EXPECT_EQ(what.rfind("Overflow: the diffusion and decay coefficients", 0), 0u) << what;
      }
      EXPECT_EQ(error.box(), c.control);
    }
  }
}

TEST(RunErrorContext, KeepsTheBox) {
  const RunError inner(Fault::DivisionByZero, "the box is 0", "Text2");
  const RunError outer = WithContext(inner, "in step 1 of the run");
  EXPECT_EQ(std::string(outer.what()), "Division by zero: in step 1 of the run, the box is 0");
  EXPECT_EQ(outer.box(), "Text2");
  EXPECT_EQ(WithContext(RunError(Fault::Overflow), "step 3").box(), "");
}

// When an odd number of 2D steps has run, U2/V2 hold the newest field; the
// intake copies it into U/V before making them current, so nothing computed
// is thrown away.
TEST_F(Intake, KeepsTheNewestTwoDimensionalField) {
  boxes.mode = Mode::TwoD;
  boxes.size = "4";
  Read();
  for (std::size_t i = 0; i < 16; ++i) {
    sim.buffers.U[i] = 1.0f;
    sim.buffers.V[i] = 2.0f;
    sim.buffers.U2[i] = 3.0f + static_cast<float>(i);
    sim.buffers.V2[i] = 4.0f;
  }
  const Buffer newestU = sim.buffers.U2, newestV = sim.buffers.V2;

  sim.CurrentInU = true;  // U/V are newest: they stay as they are
  Read();
  EXPECT_EQ(sim.buffers.U[5], 1.0f);
  EXPECT_EQ(sim.buffers.V[5], 2.0f);

  sim.CurrentInU = false;  // U2/V2 are newest: copied, then current
  Read();
  EXPECT_TRUE(sim.CurrentInU);
  EXPECT_EQ(sim.buffers.U, newestU);
  EXPECT_EQ(sim.buffers.V, newestV);
  EXPECT_EQ(view.calls.back(), "draw field");

  // A failing box after the iterations still leaves the newest field current.
  for (float& u : sim.buffers.U) u = 1.0f;
  sim.CurrentInU = false;
  boxes.k[3] = "abc";
  EXPECT_EQ(ReadFault(), Fault::TypeMismatch);
  EXPECT_TRUE(sim.CurrentInU);
  EXPECT_EQ(sim.buffers.U, newestU);
}

// The profile pen writes U/V only, and the 1D step leaves its newest line
// there: a 1D intake must not overwrite U/V from the second pair.
TEST_F(Intake, OneDimensionalIntakeNeverCopies) {
  Read();
  sim.buffers.U[3] = 7.0f;
  sim.buffers.U2[3] = 9.0f;
  sim.CurrentInU = false;
  Read();
  EXPECT_EQ(sim.buffers.U[3], 7.0f);
  EXPECT_TRUE(sim.CurrentInU);
}

// The batch runner's order: one intake on a fresh state (whose flag is still
// false), then the start field, then the steps. The copy finds empty buffers
// and must not touch the field loaded after it.
TEST_F(Intake, ABatchRunStartsFromTheFieldItLoads) {
  boxes.mode = Mode::TwoD;
  boxes.size = "3";
  ASSERT_FALSE(sim.CurrentInU);
  Read();
  EXPECT_TRUE(sim.CurrentInU);
  EXPECT_EQ(sim.buffers.U, Buffer(10, 0.0f));
  sim.buffers.U[4] = 5.0f;  // what --init or --random would load
  Step2D(sim, Direction::Forward);
  EXPECT_FALSE(sim.CurrentInU);
  EXPECT_EQ(sim.buffers.U[4], 5.0f);  // the loaded field was what the step read
  EXPECT_NE(sim.buffers.U2[4], 0.0f);
}

TEST_F(Intake, WithNoModeSelectedOnlyConvertsTheBoxes) {
  Read();
  const float centre = sim.coef.centreU;
  view.calls.clear();
  boxes.mode = Mode::None;
  boxes.k[7] = "0.02";
  sim.CurrentInU = false;
  Read();
  EXPECT_TRUE(sim.CurrentInU);
  EXPECT_EQ(sim.coef.Du, 0.02f);
  EXPECT_EQ(sim.coef.centreU, centre);
  EXPECT_TRUE(view.calls.empty());
}

}  // namespace
}  // namespace rdsim

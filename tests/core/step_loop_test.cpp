// The one stepping loop and the run behaviour on it, without a window: the
// order of its hooks, how it ends, and that it steps exactly as the engine.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/integrators.h"
#include "core/noise_fill.h"
#include "core/step_loop.h"
#include "fake_picture.h"
#include "fake_run_view.h"
#include "fake_window.h"
#include "movie_reader.h"
#include "run/intake.h"
#include "run/mode_switch.h"
#include "run/recording.h"
#include "run/run_control.h"

#include <unistd.h>
#include <filesystem>

namespace rdsim {
namespace {

Simulation NoisyField(Mode mode, const char* size) {
  testing::FakeBoxes boxes;
  testing::FakeView view;
  boxes.mode = mode;
  boxes.size = size;
  Simulation sim;
  ReadParameters(sim, boxes, view);
  FillNoise(sim.buffers.U, sim.buffers.V, mode == Mode::TwoD ? std::size_t(sim.N * sim.N) : std::size_t(sim.N), 7);
  return sim;
}

struct Recorder : StepLoopHooks {
  std::vector<std::string> calls;
  std::function<bool(std::int64_t)> goOn = [](std::int64_t) { return true; };
  std::int64_t failAt = 0;

  void Stepped(std::int64_t k) override {
    if (k == failAt) throw RunError(Fault::Overflow, "hook");
    calls.push_back("step " + std::to_string(k));
  }
  void RedrawDue(std::int64_t k) override { calls.push_back("redraw " + std::to_string(k)); }
  bool Yield(std::int64_t k) override {
    calls.push_back("yield " + std::to_string(k));
    return goOn(k);
  }
};

TEST(StepLoop, HooksComeInOrderAndEndTheLoopAsAsked) {
  struct Case {
    std::int64_t steps, every, stopAt, failAt;
    std::int64_t done;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {3, 2, 0, 0, 3, {"step 1", "yield 1", "step 2", "redraw 2", "yield 2", "step 3", "yield 3"}},
      {5, NoRedraw, 2, 0, 2, {"step 1", "yield 1", "step 2", "yield 2"}},                   // Yield says stop
      {5, 1, 0, 3, 2, {"step 1", "redraw 1", "yield 1", "step 2", "redraw 2", "yield 2"}},  // a hook fails
      {0, 1, 0, 0, 0, {}},
  };
  for (const Mode mode : {Mode::OneD, Mode::TwoD}) {
    for (const Case& c : cases) {
      Simulation sim = NoisyField(mode, "8");
      Recorder hooks;
      hooks.failAt = c.failAt;
      hooks.goOn = [&](std::int64_t k) { return k != c.stopAt; };
      const StepLoopOutcome outcome = RunStepLoop(sim, mode, c.steps, c.every, hooks);
      EXPECT_EQ(outcome.stepsDone, c.done);
      EXPECT_EQ(outcome.fault.has_value(), c.failAt != 0);
      EXPECT_EQ(hooks.calls, c.calls);
    }
  }
}

// The loop's field is the engine's, bit for bit, and a failing step is
// reported with the steps done before it.
TEST(StepLoop, StepsAsTheEngineAndStopsAtAFault) {
  for (const Mode mode : {Mode::OneD, Mode::TwoD}) {
    Simulation looped = NoisyField(mode, "16");
    Simulation direct = looped;
    EXPECT_EQ(RunSteps(looped, mode, 101).stepsDone, 101);
    for (int k = 0; k < 101; ++k) {
      mode == Mode::TwoD ? Step2D(direct, direct.CurrentInU ? Direction::Forward : Direction::Backward)
                         : Step1D(direct);
    }
    EXPECT_EQ(NewestActivator(looped, mode), NewestActivator(direct, mode));
    EXPECT_EQ(NewestInhibitor(looped, mode), NewestInhibitor(direct, mode));

    looped.buffers.U[3] = looped.buffers.U2[3] = INFINITY;  // the next step cannot hold it
    const StepLoopOutcome outcome = RunSteps(looped, mode, 10);
    EXPECT_EQ(outcome.stepsDone, 0);
    ASSERT_TRUE(outcome.fault);
  }
}

// The run behaviour on fakes: a Stop pressed inside the 50th yield ends the
// run with the captions, the counter and the redraws the window shows.
using testing::FakeRunView;

TEST(RunControl, RunsOnFakesUntilStopped) {
  Session session;
  FakeRunView view;
  view.mode = Mode::TwoD;
  view.size = "16";
  view.iterations = "20";
  ReadParameters(session, view);
  FillNoise(session.sim.U(), session.sim.V(), 256, 3);
  Simulation expected = session.sim;
  const int blitsAfterIntake = view.field.blits;
  view.atYield = [&] {
    if (view.yields == 50) StartOrStopRun(session, view);  // the Stop press
  };
  StartOrStopRun(session, view);

  EXPECT_EQ(view.captions, (std::vector<bool>{true, false, false}));  // Stop, then the run ending
  EXPECT_FALSE(session.Running);
  EXPECT_EQ(view.count, 51);
  // Two intakes redraw, and steps 20 and 40 did.
  EXPECT_EQ(view.field.blits - blitsAfterIntake, 2 + 2);
  for (int k = 0; k < 50; ++k) Step2D(expected, expected.CurrentInU ? Direction::Forward : Direction::Backward);
  EXPECT_EQ(session.sim.U(), NewestActivator(expected, Mode::TwoD));
}

// A recording takes a frame at every redraw of a run, and a 1D run a
// space-time row; a new field size ends the recording with a message, its
// frames kept.
TEST(RunControl, RecordsRedrawsAndRowsUntilTheFrameChanges) {
  const std::string folder = ::testing::TempDir() + "rdsim-record-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/run.gif";
  Session session;
  FakeRunView view;
  view.mode = Mode::OneD;
  view.size = "16";
  view.iterations = "10";
  ReadParameters(session, view);
  FillNoise(session.sim.U(), session.sim.V(), 16, 3);
  StartRecording(session, view, path);
  EXPECT_EQ(view.recordingFile, path);
  view.atYield = [&] {
    if (view.yields == 35) StartOrStopRun(session, view);
  };
  StartOrStopRun(session, view);
  EXPECT_EQ(view.recordingFrames, 3);  // steps 10, 20, 30
  EXPECT_EQ(session.spaceTime.Rows(), 3u);
  EXPECT_EQ(session.spaceTime.Width(), 16);
  EXPECT_EQ(session.FieldSteps, 35);

  view.yields = 0;  // a second run starts the rows afresh and goes on recording
  StartOrStopRun(session, view);
  EXPECT_EQ(view.recordingFrames, 6);
  EXPECT_EQ(session.spaceTime.Rows(), 3u);

  view.size = "20";
  ReadParameters(session, view);
  EXPECT_EQ(session.recording, nullptr);
  EXPECT_EQ(view.recordingFile, "");
  ASSERT_EQ(view.notices.size(), 1u);
  EXPECT_EQ(view.notices[0], "The recording \"" + path +
                                 "\" ended with 6 frames: the field's mode or size changed, and a movie keeps one "
                                 "frame size.");
  EXPECT_EQ(testing::ReadMovie(path).frames.size(), 6u);

  StartRecording(session, view, path);  // a mode switch ends it as well
  view.mode = Mode::TwoD;
  SwitchMode(session, view, 1);
  EXPECT_EQ(session.recording, nullptr);
  EXPECT_EQ(view.notices.size(), 2u);
  EXPECT_THROW(StartRecording(session, view, folder + "/run.avi"), RunError);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace rdsim

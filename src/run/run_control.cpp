#include "run/run_control.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <limits>
#include <string>

#include "core/constants.h"
#include "core/step_loop.h"
#include "run/field_image.h"
#include "run/intake.h"
#include "run/profile_plots.h"
#include "run/recording.h"

namespace rdsim {

namespace {

void ShowRunning(Session& session, RunView& view, bool running) {
  session.Running = running;
  view.ShowRunning(running);
}

// Whatever ends a run (Stop, the last step, a run-time error, a mode switch,
// the window closing) leaves the button ready to start the next one.
class RunEnds {
 public:
  RunEnds(Session& session, RunView& view) : session_(session), view_(view) {}
  ~RunEnds() { ShowRunning(session_, view_, false); }
  RunEnds(const RunEnds&) = delete;
  RunEnds& operator=(const RunEnds&) = delete;

 private:
  Session& session_;
  RunView& view_;
};

// The window's side of the stepping loop: the counter, the redraws, the yield.
class WindowLoop : public StepLoopHooks {
 public:
  WindowLoop(Session& session, RunView& view, Mode mode)
      : session_(session), view_(view), mode_(mode), stepStarted_(Clock::now()) {}

  void Stepped(std::int64_t k) override {
    ++session_.FieldSteps;
    if (session_.series) session_.series->AfterStep(session_.sim, mode_, session_.FieldSteps, session_.HandChanges);
    view_.ShowStepCount(k + 1);
    if (session_.sim.StepsPerImage == 0) {
      throw RunError(Fault::DivisionByZero,
                     std::string(IterationsBoxName) + " is 0; it must be a whole number other than 0",
                     IterationsControlName);
    }
  }

  void RedrawDue(std::int64_t) override {
    Simulation& sim = session_.sim;
    if (mode_ == Mode::OneD) {
      DrawProfiles(view_.ActivatorProfile(), view_.InhibitorProfile(), sim);
      session_.spaceTime.Add(sim.U(), sim.N);
    } else {
      DrawField(view_.Field(), NewestActivator(sim, mode_), sim.N);
    }
    RecordRedraw(session_, view_, mode_);
    view_.FieldRedrawn();
    if (session_.series) session_.series->AtRedraw(sim, mode_, session_.FieldSteps);
  }

  bool Yield(std::int64_t) override {
    view_.Yield();
    WaitForNextStep();
    stepStarted_ = Clock::now();
    return KeepRunning();
  }

 private:
  using Clock = std::chrono::steady_clock;

  // Goes on unless Stop was pressed, the window closed, or the user switched
  // the mode under the loop (its buffers now belong to the other mode, so the
  // run ends as if stopped).
  bool KeepRunning() const { return session_.Running && !view_.Closing() && view_.SelectedMode() == mode_; }

  // The speed limit is spent inside the yield: the window keeps serving
  // events until the step's share of a second is over, so every control stays
  // live. A Stop or a change of speed takes effect at once.
  void WaitForNextStep() {
    for (;;) {
      if (session_.StepsPerSecond <= 0 || !KeepRunning()) return;
      const auto due = stepStarted_ + std::chrono::nanoseconds(1'000'000'000 / session_.StepsPerSecond);
      const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(due - Clock::now()).count();
      if (left <= 0) return;
      view_.WaitForEvents(left);
    }
  }

  Session& session_;
  RunView& view_;
  Mode mode_;
  Clock::time_point stepStarted_;
};

}  // namespace

void StartOrStopRun(Session& session, RunView& view) {
  if (session.Running) {
    // Stop ends the run whatever the intake finds: a box mistyped during the
    // run must not keep the user from stopping it. Its error still shows.
    ShowRunning(session, view, false);
    ReadParameters(session, view);
    return;
  }
  ReadParameters(session, view);
  session.spaceTime.Clear();
  ShowRunning(session, view, true);
  const RunEnds ends(session, view);
  const Mode mode = view.SelectedMode();
  if (mode != Mode::None) RunLoop(session, view, mode);
}

void SetRunSpeed(Session& session, int index) {
  if (index < 0 || index >= static_cast<int>(std::size(RunSpeeds))) return;
  session.StepsPerSecond = RunSpeeds[index];
}

void RunLoop(Session& session, RunView& view, Mode mode) {
  WindowLoop hooks(session, view, mode);
  if (session.series) session.series->RunStarts(session.sim, mode, session.FieldSteps);
  // A redraw at every multiple of StepsPerImage, whatever its sign; 0 is
  // refused by the counter hook.
  const std::int64_t every = session.sim.StepsPerImage;
  const std::int64_t period = every == 0 ? NoRedraw : every < 0 ? -every : every;
  // The field's count (from a file, perhaps near its largest) must not wrap.
  const std::int64_t room = std::numeric_limits<std::int64_t>::max() - session.FieldSteps;
  const std::int64_t steps = std::min<std::int64_t>(MaxRunSteps, room);
  const StepLoopOutcome outcome = RunStepLoop(session.sim, mode, steps, period, hooks);
  if (outcome.fault) {
    throw StepFault(*outcome.fault, outcome.stepsDone + 1, "Analysis > Linear Stability");
  }
  if (steps < MaxRunSteps && outcome.stepsDone == steps) {
    throw RunError(Fault::Overflow, "the field has run " + std::to_string(session.FieldSteps) +
                                        " steps, the largest count it can keep; Clear or Random starts a new count");
  }
}

}  // namespace rdsim

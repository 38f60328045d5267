#include "core/step_loop.h"

#include "core/integrators.h"

namespace rdsim {

namespace {

template <Mode mode>
void StepOnce(Simulation& sim) {
  if constexpr (mode == Mode::TwoD) {
    Step2D(sim, sim.CurrentInU ? Direction::Forward : Direction::Backward);
  } else {
    Step1D(sim);
  }
}

// Steps alone: hooks the compiler sees are empty, so the tightest loops (a
// line of a few cells runs millions of steps a second) pay no call per step.
struct NoHooks {
  void Stepped(std::int64_t) {}
  void RedrawDue(std::int64_t) {}
  bool Yield(std::int64_t) { return true; }
};

template <Mode mode, typename Hooks>
StepLoopOutcome Loop(Simulation& sim, std::int64_t steps, std::int64_t redrawEvery, Hooks& hooks) {
  StepLoopOutcome outcome;
  try {
    for (std::int64_t k = 1; k <= steps; ++k) {
      StepOnce<mode>(sim);
      hooks.Stepped(k);
      if (redrawEvery > 0 && k % redrawEvery == 0) hooks.RedrawDue(k);
      const bool goOn = hooks.Yield(k);
      outcome.stepsDone = k;
      if (!goOn) break;
    }
  } catch (const RunError& error) {
    outcome.fault = error;
  }
  return outcome;
}

}  // namespace

StepLoopOutcome RunStepLoop(Simulation& sim, Mode mode, std::int64_t steps, std::int64_t redrawEvery,
                            StepLoopHooks& hooks) {
  switch (mode) {
    case Mode::OneD: return Loop<Mode::OneD>(sim, steps, redrawEvery, hooks);
    case Mode::TwoD: return Loop<Mode::TwoD>(sim, steps, redrawEvery, hooks);
    case Mode::None: break;
  }
  return {};
}

StepLoopOutcome RunSteps(Simulation& sim, Mode mode, std::int64_t steps) {
  NoHooks none;
  switch (mode) {
    case Mode::OneD: return Loop<Mode::OneD>(sim, steps, NoRedraw, none);
    case Mode::TwoD: return Loop<Mode::TwoD>(sim, steps, NoRedraw, none);
    case Mode::None: break;
  }
  return {};
}

}  // namespace rdsim

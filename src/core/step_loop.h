#pragma once

#include <cstdint>
#include <limits>
#include <optional>

#include "core/run_error.h"
#include "core/simulation.h"

namespace rdsim {

// What a caller plugs into the stepping loop. Each hook may raise a RunError,
// which ends the loop like a failing step.
class StepLoopHooks {
 public:
  virtual ~StepLoopHooks() = default;
  // After step k (counted from 1).
  virtual void Stepped(std::int64_t /*k*/) {}
  // After Stepped, when k is a multiple of the redraw period: the newest
  // field is due on screen.
  virtual void RedrawDue(std::int64_t /*k*/) {}
  // Last in each iteration; false ends the loop. The window handles its
  // waiting events here.
  virtual bool Yield(std::int64_t /*k*/) { return true; }
};

inline constexpr std::int64_t NoRedraw = std::numeric_limits<std::int64_t>::max();

struct StepLoopOutcome {
  std::int64_t stepsDone = 0;     // whole iterations, the last one's hooks included
  std::optional<RunError> fault;  // what ended iteration stepsDone + 1
};

// The one loop of steps, for the window, the batch runner and the atlas: up
// to `steps` steps of the mode (2D in the direction CurrentInU names), each
// followed by its hooks.
StepLoopOutcome RunStepLoop(Simulation& sim, Mode mode, std::int64_t steps, std::int64_t redrawEvery,
                            StepLoopHooks& hooks);

// Steps alone, nothing hooked.
StepLoopOutcome RunSteps(Simulation& sim, Mode mode, std::int64_t steps);

}  // namespace rdsim

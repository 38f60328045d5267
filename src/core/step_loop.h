#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

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

// The cause and the remedy of a fault that ended a step, one sentence each,
// or empty when it is not the values outgrowing single precision (a box's
// fault names its box instead). lookAt names where the caller's user finds
// the linear stability of the coefficients.
std::string StepFaultAdvice(const RunError& fault, const std::string& lookAt);
// The fault of step k of a run, as the window tells it: where, then why and what to do.
RunError StepFault(const RunError& fault, std::int64_t k, const std::string& lookAt);

// Steps alone, nothing hooked.
StepLoopOutcome RunSteps(Simulation& sim, Mode mode, std::int64_t steps);

// Tells a hook when a step left the field exactly as it found it, bit for bit
// in both species. A step depends on nothing but the field and the
// coefficients, so every later step leaves such a field unchanged too and a
// run may end there without changing a result. Looks after every `every`-th
// step: a 2D step keeps the field it read in the other pair, so that check
// costs one comparison; the 1D step writes over it, so the field is copied
// one step before.
class SettleWatch {
 public:
  SettleWatch(const Simulation& sim, Mode mode, std::int64_t every);
  // Made before the first step; called after step k (from 1) with nothing
  // changing the field in between.
  bool StepLeftFieldUnchanged(std::int64_t k);

 private:
  bool Usable() const;
  void Remember();

  const Simulation& sim_;
  Mode mode_;
  std::int64_t every_;
  std::size_t cells_;
  std::vector<float> before_;          // 1D: U then V before the step looked at
  std::size_t hintU_ = 0, hintV_ = 0;  // blocks where the last differences were
};

}  // namespace rdsim

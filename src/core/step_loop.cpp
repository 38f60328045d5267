#include "core/step_loop.h"

#include <algorithm>
#include <cstring>

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

std::string StepFaultAdvice(const RunError& fault, const std::string& lookAt) {
  if (!fault.box().empty()) return {};
  if (fault.fault() != Fault::Overflow && fault.fault() != Fault::InvalidFloatingPoint) return {};
  return "The values outgrew the numbers the program can hold, usually because these coefficients make the step "
         "unstable. " +
         lookAt + " shows which modes grow and what makes them settle.";
}

RunError StepFault(const RunError& fault, std::int64_t k, const std::string& lookAt) {
  const RunError where = WithContext(fault, "in step " + std::to_string(k) + " of the run");
  return WithAdvice(where, StepFaultAdvice(where, lookAt));
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

namespace {

// Whether `a` and `b` hold the same bits. The search starts at the block
// where the last difference was (`hint`, updated), since the cells a settling
// field still changes stay in one place from step to step: a step is then
// found changed at once, and only the settling step is compared whole.
bool SameValues(const float* a, const float* b, std::size_t count, std::size_t& hint) {
  constexpr std::size_t Block = 64;
  const std::size_t blocks = (count + Block - 1) / Block;
  const auto differs = [&](std::size_t block) {
    const std::size_t first = block * Block;
    return std::memcmp(a + first, b + first, std::min(Block, count - first) * sizeof(float)) != 0;
  };
  if (hint < blocks && differs(hint)) return false;
  if (std::memcmp(a, b, count * sizeof(float)) == 0) return true;
  for (std::size_t block = 0; block < blocks; ++block) {
    if (differs(block)) {
      hint = block;
      break;
    }
  }
  return false;
}

}  // namespace

SettleWatch::SettleWatch(const Simulation& sim, Mode mode, std::int64_t every)
    : sim_(sim), mode_(mode), every_(std::max<std::int64_t>(every, 1)) {
  const auto n = static_cast<std::size_t>(std::max(sim.N, 0));
  cells_ = mode == Mode::TwoD ? n * n : n;
  if (mode == Mode::OneD) {
    before_.resize(2 * cells_);
    Remember();
  }
}

bool SettleWatch::Usable() const {
  const FieldBuffers& b = sim_.buffers;
  return cells_ > 0 && b.U.size() >= cells_ && b.V.size() >= cells_ && b.U2.size() >= cells_ && b.V2.size() >= cells_;
}

void SettleWatch::Remember() {
  if (!Usable()) return;
  const auto cells = static_cast<std::ptrdiff_t>(cells_);
  std::copy(sim_.buffers.U.begin(), sim_.buffers.U.begin() + cells, before_.begin());
  std::copy(sim_.buffers.V.begin(), sim_.buffers.V.begin() + cells, before_.begin() + cells);
}

bool SettleWatch::StepLeftFieldUnchanged(std::int64_t k) {
  if (!Usable()) return false;
  const FieldBuffers& b = sim_.buffers;
  bool unchanged = false;
  if (k % every_ == 0) {
    if (mode_ == Mode::TwoD) {
      unchanged =
          SameValues(b.U.data(), b.U2.data(), cells_, hintU_) && SameValues(b.V.data(), b.V2.data(), cells_, hintV_);
    } else if (mode_ == Mode::OneD) {
      unchanged = SameValues(b.U.data(), before_.data(), cells_, hintU_) &&
                  SameValues(b.V.data(), before_.data() + cells_, cells_, hintV_);
    }
  }
  if (mode_ == Mode::OneD && (k + 1) % every_ == 0) Remember();
  return unchanged;
}

}  // namespace rdsim

#include "atlas/atlas_point.h"

#include <algorithm>

#include "batch_run.h"
#include "core/noise_fill.h"
#include "core/step_loop.h"

namespace rdsim::atlas {

namespace {

batch::BatchOptions PointOptions(const RunOptions& options, const CoefficientTexts& coefficients) {
  batch::BatchOptions b;
  b.mode = options.mode;
  b.sizeText = options.sizeText;
  b.coefficients = coefficients;
  b.steps = options.steps;
  b.randomSeed = options.seed;
  return b;
}

}  // namespace

int CheckIntake(const RunOptions& options) {
  // The fixed boxes first, with a harmless text in the swept ones.
  CoefficientTexts fixed = options.coefficients;
  fixed[static_cast<std::size_t>(options.x.coefficient)] = fixed[static_cast<std::size_t>(options.y.coefficient)] = "0";
  Simulation sim;
  batch::TakeParameters(sim, PointOptions(options, fixed));
  // Each box is converted on its own, so every value of an axis alone decides
  // whether the intake takes it.
  for (const Axis* axis : {&options.x, &options.y}) {
    for (const std::string& text : axis->texts) {
      CoefficientTexts coefficients = fixed;
      coefficients[static_cast<std::size_t>(axis->coefficient)] = text;
      try {
        Simulation probe;
        batch::TakeParameters(probe, PointOptions(options, coefficients));
      } catch (const ArgumentError& error) {
        throw ArgumentError(axis == &options.x ? "--x" : "--y",
                            "k" + std::to_string(axis->coefficient) + " = " + text + ": " + error.what());
      }
    }
  }
  return sim.N;
}

namespace {

// Adds up, over the last `window` steps, how far each step moved the activator.
class ChangeMeter : public StepLoopHooks {
 public:
  ChangeMeter(const Simulation& sim, Mode mode, std::size_t cells, std::int64_t steps, std::int64_t window)
      : sim_(sim), mode_(mode), cells_(cells), first_(steps - window), before_(cells) {
    if (first_ == 0) Remember();
  }

  void Stepped(std::int64_t k) override {
    if (k > first_) change_ += MeanAbsoluteDifference(Newest(), before_.data(), cells_);
    if (k >= first_) Remember();
  }
  double Change() const { return change_; }

 private:
  const float* Newest() const { return NewestActivator(sim_, mode_).data(); }
  void Remember() { std::copy(Newest(), Newest() + cells_, before_.begin()); }

  const Simulation& sim_;
  Mode mode_;
  std::size_t cells_;
  std::int64_t first_;
  std::vector<float> before_;
  double change_ = 0;
};

}  // namespace

PointResult RunPoint(const RunOptions& options, std::size_t point) {
  Simulation sim;
  batch::TakeParameters(sim, PointOptions(options, options.PointCoefficients(point)));
  const std::size_t cells = batch::CellCount(sim, options.mode);
  FillNoise(sim.buffers.U, sim.buffers.V, cells, options.seed);

  PointResult result;
  const std::int64_t lastSteps = std::min(ChangeSteps, options.steps);
  ChangeMeter meter(sim, options.mode, cells, options.steps, lastSteps);
  const StepLoopOutcome outcome = RunStepLoop(sim, options.mode, options.steps, NoRedraw, meter);
  result.field = batch::NewestField(sim, options.mode);
  if (outcome.fault) {
    result.status =
        std::string(FaultName(outcome.fault->fault())) + " at step " + std::to_string(outcome.stepsDone + 1);
    return result;
  }
  double change = meter.Change();
  if (lastSteps > 0) change /= static_cast<double>(lastSteps);
  result.metrics = MeasureField(result.field.data(), sim.N, options.mode == Mode::TwoD, change);
  result.pattern = Classify(*result.metrics, options.mode == Mode::TwoD);
  return result;
}

}  // namespace rdsim::atlas

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

// Adds up, over the last `window` steps, how far each step moved the
// activator; ends the loop when a step left the field unchanged (the steps
// left would add nothing and change no bit) or when the run is told to stop.
class PointHooks : public StepLoopHooks {
 public:
  PointHooks(const Simulation& sim, Mode mode, std::size_t cells, std::int64_t steps, std::int64_t window,
             const PointControl& control)
      : sim_(sim),
        mode_(mode),
        cells_(cells),
        first_(steps - window),
        before_(cells),
        control_(control),
        settle_(sim, mode, SettleCheckEvery) {
    if (first_ == 0) Remember();
  }

  void Stepped(std::int64_t k) override {
    if (k > first_) change_ += MeanAbsoluteDifference(Newest(), before_.data(), cells_);
    if (k >= first_) Remember();
  }
  bool Yield(std::int64_t k) override {
    if (control_.stop && control_.stop->load(std::memory_order_relaxed)) {
      interrupted_ = true;
      return false;
    }
    return !control_.skipSettled || !settle_.StepLeftFieldUnchanged(k);
  }
  double Change() const { return change_; }
  bool Interrupted() const { return interrupted_; }

 private:
  const float* Newest() const { return NewestActivator(sim_, mode_).data(); }
  void Remember() { std::copy(Newest(), Newest() + cells_, before_.begin()); }

  const Simulation& sim_;
  Mode mode_;
  std::size_t cells_;
  std::int64_t first_;
  std::vector<float> before_;
  double change_ = 0;
  const PointControl& control_;
  SettleWatch settle_;
  bool interrupted_ = false;
};

}  // namespace

PointResult RunPoint(const RunOptions& options, std::size_t point, const PointControl& control) {
  Simulation sim;
  batch::TakeParameters(sim, PointOptions(options, options.PointCoefficients(point)));
  const std::size_t cells = batch::CellCount(sim, options.mode);
  FillNoise(sim.buffers.U, sim.buffers.V, cells, options.seed);

  PointResult result;
  const std::int64_t lastSteps = std::min(ChangeSteps, options.steps);
  PointHooks meter(sim, options.mode, cells, options.steps, lastSteps, control);
  const StepLoopOutcome outcome = RunStepLoop(sim, options.mode, options.steps, NoRedraw, meter);
  result.interrupted = meter.Interrupted();
  result.stepsComputed = outcome.fault ? outcome.stepsDone + 1 : outcome.stepsDone;
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

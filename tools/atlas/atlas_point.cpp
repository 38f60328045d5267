#include "atlas/atlas_point.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "analysis/dominant_wavelength.h"
#include "analysis/linear_stability.h"
#include "analysis/time_series.h"
#include "command_line/intake.h"
#include "core/noise_fill.h"
#include "core/step_loop.h"

namespace rdsim::atlas {

namespace {

// The intake of the fixed boxes, with a harmless text in the swept ones (and
// in `alsoZero`).
Simulation FixedIntake(const RunOptions& options, std::initializer_list<int> alsoZero = {}) {
  CoefficientTexts fixed = options.coefficients;
  for (int k : alsoZero) fixed[static_cast<std::size_t>(k)] = "0";
  fixed[static_cast<std::size_t>(options.x.coefficient)] = fixed[static_cast<std::size_t>(options.y.coefficient)] = "0";
  Simulation sim;
  cli::TakeParameters(sim, options.mode, options.sizeText, fixed);
  return sim;
}

bool SameBits(const StepCoefficients& a, const StepCoefficients& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

int CheckIntake(const RunOptions& options) {
  CoefficientTexts fixed = options.coefficients;
  fixed[static_cast<std::size_t>(options.x.coefficient)] = fixed[static_cast<std::size_t>(options.y.coefficient)] = "0";
  const Simulation sim = FixedIntake(options);
  // Each box is converted on its own, so every value of an axis alone decides
  // whether the intake takes it.
  for (const Axis* axis : {&options.x, &options.y}) {
    for (const std::string& text : axis->texts) {
      CoefficientTexts coefficients = fixed;
      coefficients[static_cast<std::size_t>(axis->coefficient)] = text;
      try {
        Simulation probe;
        cli::TakeParameters(probe, options.mode, options.sizeText, coefficients);
      } catch (const ArgumentError& error) {
        throw ArgumentError(axis == &options.x ? "--x" : "--y",
                            "k" + std::to_string(axis->coefficient) + " = " + text + ": " + error.what());
      }
    }
  }
  return sim.N;
}

std::optional<std::string> FirstDifference(const RunOptions& a, const RunOptions& b) {
  if (a.mode != b.mode) return "--mode";
  const Simulation simA = FixedIntake(a, {b.x.coefficient, b.y.coefficient});
  const Simulation simB = FixedIntake(b, {a.x.coefficient, a.y.coefficient});
  if (simA.N != simB.N) return "--size";
  if (a.steps != b.steps) return "--steps";
  if (!SameBits(simA.coef, simB.coef)) return "--params";
  if (a.seed != b.seed) return "--random";
  if (a.x.coefficient != b.x.coefficient || a.x.texts != b.x.texts) return "--x";
  if (a.y.coefficient != b.y.coefficient || a.y.texts != b.y.texts) return "--y";
  if (a.shard.index != b.shard.index || a.shard.count != b.shard.count) return "--shard";
  return std::nullopt;
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
    if (k % PeriodSampleEvery == 0) series_.Add(SampleField(sim_, mode_, CentreCell(sim_.N), k));
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
  std::optional<double> Period() const {
    const std::optional<SeriesPeriod> found = FindSeriesPeriod(series_.Samples());
    return found ? std::optional<double>(found->period.steps) : std::nullopt;
  }

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
  SeriesHistory series_;
  bool interrupted_ = false;
};

// The analysis of the coefficients the point runs with. Of several steady
// states the one with the fastest growth speaks for the point (the first when
// none grows): from noise around all of them, the fastest growth takes over.
void Predict(const Simulation& sim, Mode mode, PointResult& result) {
  StabilityReport report;
  try {
    report = AnalyseStability(sim.coef, mode, sim.N);
  } catch (const RunError&) {
    return;  // a singular system or no steady state: nothing predicted
  }
  if (report.states.empty()) return;
  const StateStability* chosen = &report.states.front();
  for (const StateStability& state : report.states) {
    if (!state.growth.empty() &&
        (chosen->growth.empty() || state.growth.front().perStep > chosen->growth.front().perStep)) {
      chosen = &state;
    }
  }
  result.predicted = VerdictShortName(*chosen);
  if (chosen->growth.empty()) return;
  const Growth& fastest = chosen->growth.front();
  if (fastest.kind == GrowthKind::StationaryPattern || fastest.kind == GrowthKind::OscillatingPattern) {
    result.predictedWavelength = fastest.wavelength;
  }
}

}  // namespace

PointResult RunPoint(const RunOptions& options, std::size_t point, const PointControl& control) {
  Simulation sim;
  cli::TakeParameters(sim, options.mode, options.sizeText, options.PointCoefficients(point));
  const std::size_t cells = cli::CellCount(sim, options.mode);
  FillNoise(sim.buffers.U, sim.buffers.V, cells, options.seed);

  PointResult result;
  Predict(sim, options.mode, result);
  const std::int64_t lastSteps = std::min(ChangeSteps, options.steps);
  PointHooks meter(sim, options.mode, cells, options.steps, lastSteps, control);
  const StepLoopOutcome outcome = RunStepLoop(sim, options.mode, options.steps, NoRedraw, meter);
  result.interrupted = meter.Interrupted();
  result.stepsComputed = outcome.fault ? outcome.stepsDone + 1 : outcome.stepsDone;
  result.field = cli::NewestField(sim, options.mode);
  if (outcome.fault) {
    result.status =
        std::string(FaultName(outcome.fault->fault())) + " at step " + std::to_string(outcome.stepsDone + 1);
    return result;
  }
  double change = meter.Change();
  if (lastSteps > 0) change /= static_cast<double>(lastSteps);
  result.metrics = MeasureField(result.field.data(), sim.N, options.mode == Mode::TwoD, change);
  result.pattern = Classify(*result.metrics, options.mode == Mode::TwoD);
  result.period = meter.Period();
  result.wavelength = DominantWavelength(std::span<const float>(result.field.data(), cells), options.mode, sim.N);
  return result;
}

}  // namespace rdsim::atlas

#include "atlas/atlas_point.h"

#include <algorithm>

#include "batch_run.h"
#include "core/noise_fill.h"

namespace rdsim::atlas {

namespace {

batch::BatchOptions PointOptions(const RunOptions& options, const std::array<std::string, 11>& coefficients) {
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
  std::array<std::string, 11> fixed = options.coefficients;
  fixed[static_cast<std::size_t>(options.x.coefficient)] = fixed[static_cast<std::size_t>(options.y.coefficient)] = "0";
  Simulation sim;
  batch::TakeParameters(sim, PointOptions(options, fixed));
  // Each box is converted on its own, so every value of an axis alone decides
  // whether the intake takes it.
  for (const Axis* axis : {&options.x, &options.y}) {
    for (const std::string& text : axis->texts) {
      std::array<std::string, 11> coefficients = fixed;
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

PointResult RunPoint(const RunOptions& options, std::size_t point) {
  Simulation sim;
  batch::TakeParameters(sim, PointOptions(options, options.PointCoefficients(point)));
  const std::size_t cells = batch::CellCount(sim, options.mode);
  FillNoise(sim.buffers.U, sim.buffers.V, cells, options.seed);

  PointResult result;
  const std::int64_t lastSteps = std::min(ChangeSteps, options.steps);
  batch::RunOutcome outcome = batch::RunSteps(sim, options.mode, options.steps - lastSteps);
  std::int64_t done = outcome.stepsDone;
  double change = 0;
  std::vector<float> before(cells);
  for (std::int64_t k = 0; k < lastSteps && !outcome.fault; ++k) {
    const Buffer& u = batch::NewestActivator(sim, options.mode);
    std::copy(u.begin(), u.begin() + static_cast<std::ptrdiff_t>(cells), before.begin());
    outcome = batch::RunSteps(sim, options.mode, 1);
    done += outcome.stepsDone;
    if (!outcome.fault) {
      change += MeanAbsoluteDifference(batch::NewestActivator(sim, options.mode).data(), before.data(), cells);
    }
  }
  result.field = batch::NewestField(sim, options.mode);
  if (outcome.fault) {
    result.status = std::string(FaultName(outcome.fault->fault())) + " at step " + std::to_string(done + 1);
    return result;
  }
  if (lastSteps > 0) change /= static_cast<double>(lastSteps);
  result.metrics = MeasureField(result.field.data(), sim.N, options.mode == Mode::TwoD, change);
  result.pattern = Classify(*result.metrics, options.mode == Mode::TwoD);
  return result;
}

}  // namespace rdsim::atlas

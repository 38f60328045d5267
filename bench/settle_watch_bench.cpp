// What a look at whether the field settled costs against the step it may
// save, in 2D and 1D: the look's worst case is a field the step left as it
// was, so the comparison reads all of it.
//   build/release/bench/rdsim_bench_settle

#include <benchmark/benchmark.h>

#include <string>

#include "core/integrators.h"
#include "core/noise_fill.h"
#include "core/parameter_intake.h"
#include "core/step_loop.h"

namespace {

using namespace rdsim;

class Boxes : public ParameterBoxes {
 public:
  Boxes(Mode mode, int n) : mode_(mode), size_(std::to_string(n)) {}
  std::string CoefficientText(int k) const override { return Coefficients[static_cast<std::size_t>(k)].designText; }
  std::string IterationsText() const override { return "1"; }
  std::string SizeText() const override { return size_; }
  void SetSizeText(const std::string& text) override { size_ = text; }
  Mode SelectedMode() const override { return mode_; }

 private:
  Mode mode_;
  std::string size_;
};

Simulation NoisyField(Mode mode, int n) {
  Simulation sim;
  Boxes boxes(mode, n);
  ReadParameters(sim, boxes);
  const auto cells = static_cast<std::size_t>(mode == Mode::TwoD ? n * n : n);
  FillNoise(sim.buffers.U, sim.buffers.V, cells, 1);
  return sim;
}

void Step(benchmark::State& state, Mode mode) {
  Simulation sim = NoisyField(mode, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (mode == Mode::TwoD) {
      Step2D(sim, sim.CurrentInU ? Direction::Forward : Direction::Backward);
    } else {
      Step1D(sim);
    }
    benchmark::DoNotOptimize(sim.buffers.U.data());
  }
}

// One look at every step, on a field that does not change.
void Look(benchmark::State& state, Mode mode) {
  Simulation sim = NoisyField(mode, static_cast<int>(state.range(0)));
  sim.buffers.U2 = sim.buffers.U;
  sim.buffers.V2 = sim.buffers.V;
  SettleWatch watch(sim, mode, 1);
  std::int64_t k = 0;
  for (auto _ : state) benchmark::DoNotOptimize(watch.StepLeftFieldUnchanged(++k));
}

void Step2DBench(benchmark::State& state) { Step(state, Mode::TwoD); }
void Look2DBench(benchmark::State& state) { Look(state, Mode::TwoD); }
void Step1DBench(benchmark::State& state) { Step(state, Mode::OneD); }
void Look1DBench(benchmark::State& state) { Look(state, Mode::OneD); }

BENCHMARK(Step2DBench)->Arg(64)->Arg(128);
BENCHMARK(Look2DBench)->Arg(64)->Arg(128);
BENCHMARK(Step1DBench)->Arg(128);
BENCHMARK(Look1DBench)->Arg(128);

}  // namespace

BENCHMARK_MAIN();

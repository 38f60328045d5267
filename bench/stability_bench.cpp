// The whole linear stability analysis, as the window will redo it at every
// intake: the largest square (16,384 modes) and the longest line.

#include <benchmark/benchmark.h>

#include "analysis/linear_stability.h"
#include "analysis/stability_csv.h"

namespace {

// The design coefficients: one steady state, a growing pattern.
constexpr std::array<double, 11> Design{0.08, -0.08, 0.04, 0.03, 0.06, -0.03, -0.15, 0.01, 0.25, 0.2, 0.5};
// Three steady states.
constexpr std::array<double, 11> Waves{0.14, -0.1, -0.05, 0.03, 0.1, -0.03, -0.35, 0.05, 0.05, 0.3, 0.5};

void Analyse(benchmark::State& state, const std::array<double, 11>& k, rdsim::Mode mode) {
  const rdsim::StepCoefficients c = rdsim::ScaleCoefficients(k, mode);
  for (auto _ : state) {
    rdsim::StabilityReport report = rdsim::AnalyseStability(c, mode, 128);
    benchmark::DoNotOptimize(report.states.data());
  }
}

void Describe(benchmark::State& state) {
  const rdsim::StabilityReport report =
      rdsim::AnalyseStability(rdsim::ScaleCoefficients(Design, rdsim::Mode::TwoD), rdsim::Mode::TwoD, 128);
  for (auto _ : state) benchmark::DoNotOptimize(rdsim::DescribeStability(report));
}

void Csv(benchmark::State& state) {
  const rdsim::StabilityReport report =
      rdsim::AnalyseStability(rdsim::ScaleCoefficients(Design, rdsim::Mode::TwoD), rdsim::Mode::TwoD, 128);
  for (auto _ : state) benchmark::DoNotOptimize(rdsim::StabilityCsv(report));
}

}  // namespace

BENCHMARK_CAPTURE(Analyse, square_128_one_state, Design, rdsim::Mode::TwoD)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analyse, square_128_three_states, Waves, rdsim::Mode::TwoD)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analyse, line_128_one_state, Design, rdsim::Mode::OneD)->Unit(benchmark::kMicrosecond);
BENCHMARK(Describe)->Unit(benchmark::kMicrosecond);
BENCHMARK(Csv)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

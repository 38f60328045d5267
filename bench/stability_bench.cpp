// The whole linear stability analysis, as the window will redo it at every
// intake: the largest square (16,384 modes) and the longest line.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "analysis/boxes_stability.h"
#include "analysis/dispersion_curve.h"
#include "analysis/dominant_wavelength.h"
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

// The boxes of the design coefficients on the largest square.
class DesignBoxes : public rdsim::ParameterBoxes {
 public:
  std::string CoefficientText(int k) const override {
    static const char* const texts[] = {"0.08",  "-0.08", "0.04", "0.03", "0.06", "-0.03",
                                        "-0.15", "0.01",  "0.25", "0.2",  "0.5"};
    return texts[k];
  }
  std::string IterationsText() const override { return "20"; }
  std::string SizeText() const override { return "128"; }
  void SetSizeText(const std::string&) override {}
  rdsim::Mode SelectedMode() const override { return rdsim::Mode::TwoD; }
};

// What the analysis window does at an intake, short of painting: read the
// boxes, analyse, turn the chosen state into plot data and words.
void WindowRefresh(benchmark::State& state) {
  const DesignBoxes boxes;
  for (auto _ : state) {
    const rdsim::BoxesStability result = rdsim::AnalyseBoxes(boxes);
    const rdsim::StateStability& chosen = result.report->states[rdsim::PreferredState(*result.report)];
    benchmark::DoNotOptimize(rdsim::MakeDispersionCurve(chosen, 128).dots.data());
    benchmark::DoNotOptimize(rdsim::StabilityHeadline(chosen));
    benchmark::DoNotOptimize(rdsim::DescribeStability(*result.report));
  }
}

// The measured wavelength of a striped square of 128 x 128 cells.
void DominantWavelength(benchmark::State& state) {
  std::vector<float> field(128 * 128);
  for (std::size_t i = 0; i < field.size(); ++i) field[i] = static_cast<float>(5 + std::cos(0.6 * (i % 128)));
  for (auto _ : state) benchmark::DoNotOptimize(rdsim::DominantWavelength(field, rdsim::Mode::TwoD, 128));
}

}  // namespace

BENCHMARK(WindowRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(DominantWavelength)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analyse, square_128_one_state, Design, rdsim::Mode::TwoD)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analyse, square_128_three_states, Waves, rdsim::Mode::TwoD)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Analyse, line_128_one_state, Design, rdsim::Mode::OneD)->Unit(benchmark::kMicrosecond);
BENCHMARK(Describe)->Unit(benchmark::kMicrosecond);
BENCHMARK(Csv)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

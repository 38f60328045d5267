// Time per cell of the engine's steps and of the plain reference transcription,
// built with the same flags, and how much faster the engine's 2D step is.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "allocation_count.h"
#include "core/coefficients.h"
#include "core/integrators.h"
#include "engine_bridge.h"
#include "reference_model.h"

namespace {

constexpr int Side = 128;
const std::array<std::string, 11> DesignTexts = rdsim::DesignCoefficientTexts();

reference::Field RandomField(bool square) {
  reference::Field f(Side, square);
  std::mt19937 random(12345);
  std::uniform_real_distribution<float> value(0.0f, 10.0f);
  const std::size_t cells = square ? Side * Side : Side;
  for (std::size_t k = 0; k < cells; ++k) {
    f.U[k] = value(random);
    f.V[k] = value(random);
  }
  return f;
}

reference::Coefficients Coefficients(int neighbours) {
  const auto c = reference::Derive(DesignTexts, neighbours);
  if (!c) std::abort();
  return *c;
}

// Seconds per cell (shown as e.g. "1.2ns"): the rate of cells per second,
// inverted; and the heap allocations per step.
void ReportPerCell(benchmark::State& state, double cellsPerStep, long allocationsBefore) {
  const auto allocations = static_cast<double>(HeapAllocations() - allocationsBefore);
  state.counters["time_per_cell"] =
      benchmark::Counter(cellsPerStep, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_step"] = benchmark::Counter(allocations, benchmark::Counter::kAvgIterations);
}

void Step2D(benchmark::State& state) {
  rdsim::Simulation sim;
  reference::LoadIntoEngine(Coefficients(4), RandomField(true), sim);
  const long before = HeapAllocations();
  for (auto _ : state) {
    rdsim::Step2D(sim, sim.CurrentInU ? rdsim::Direction::Forward : rdsim::Direction::Backward);
    benchmark::DoNotOptimize(sim.buffers.U.data());
    benchmark::DoNotOptimize(sim.buffers.U2.data());
  }
  ReportPerCell(state, Side * Side, before);
}

void ReferenceStep2D(benchmark::State& state) {
  const reference::Coefficients c = Coefficients(4);
  reference::Field f = RandomField(true);
  const long before = HeapAllocations();
  for (auto _ : state) {
    if (reference::Step2D(c, f, f.currentInU) != reference::Fault::None) std::abort();
    benchmark::DoNotOptimize(f.U.data());
    benchmark::DoNotOptimize(f.U2.data());
  }
  ReportPerCell(state, Side * Side, before);
}

void Step1D(benchmark::State& state) {
  rdsim::Simulation sim;
  reference::LoadIntoEngine(Coefficients(2), RandomField(false), sim);
  const long before = HeapAllocations();
  for (auto _ : state) {
    rdsim::Step1D(sim);
    benchmark::DoNotOptimize(sim.buffers.U.data());
  }
  ReportPerCell(state, Side, before);
}

void ReferenceStep1D(benchmark::State& state) {
  const reference::Coefficients c = Coefficients(2);
  reference::Field f = RandomField(false);
  const long before = HeapAllocations();
  for (auto _ : state) {
    if (reference::Step1D(c, f) != reference::Fault::None) std::abort();
    benchmark::DoNotOptimize(f.U.data());
  }
  ReportPerCell(state, Side, before);
}

BENCHMARK(Step2D);
BENCHMARK(ReferenceStep2D);
BENCHMARK(Step1D);
BENCHMARK(ReferenceStep1D);

// The console report, plus the ratio of the two 2D figures at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, as the library's own console report does.
  RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto counter = run.counters.find("time_per_cell");
      if (counter == run.counters.end() || run.error_occurred) continue;
      // With repetitions, the median stands for the benchmark.
      if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
        nsPerCell_[run.run_name.function_name] = counter->second.value * 1e9;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatio() const {
    const auto engine = nsPerCell_.find("Step2D");
    const auto plain = nsPerCell_.find("ReferenceStep2D");
    if (engine == nsPerCell_.end() || plain == nsPerCell_.end() || engine->second <= 0) return;
    std::printf("Step2D: %.3f ns/cell, reference: %.3f ns/cell, reference/Step2D = %.2f\n", engine->second,
                plain->second, plain->second / engine->second);
  }

 private:
  std::map<std::string, double> nsPerCell_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio();
  benchmark::Shutdown();
  return 0;
}

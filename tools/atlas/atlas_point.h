#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "atlas/atlas_metrics.h"
#include "atlas/atlas_options.h"

namespace rdsim::atlas {

// One grid point after its run.
struct PointResult {
  std::string status = "ok";            // or "<fault> at step <k>"
  std::optional<FieldMetrics> metrics;  // none after a fault
  PatternClass pattern = PatternClass::Fault;
  std::vector<float> field;        // newest complete field: activator cells, then inhibitor cells
  std::int64_t stepsComputed = 0;  // K, or fewer when the field settled or a step failed
  bool interrupted = false;        // stopped from outside: no result at all
  // The linear stability of the point's uniform state: the verdict's short
  // name (empty when the analysis finds no steady state to speak of), and the
  // wavelength in cells of the fastest growth when that is a pattern mode.
  std::string predicted = {};
  std::optional<double> predictedWavelength = {};
  // The final field's dominant wavelength in cells; none for a uniform field
  // or after a fault.
  std::optional<double> wavelength = {};
  // The period in steps of the mean activator (else of the middle cell) when
  // the last cycles agree; none for a field that settles or wanders.
  std::optional<double> period = {};
};

// How a point runs besides its options.
struct PointControl {
  bool skipSettled = true;  // end at a step that left the field unchanged
  const std::atomic<bool>* stop = nullptr;
};

// Steps between two looks at whether the field settled; a look costs a
// comparison of the field, a few percent of a step.
inline constexpr std::int64_t SettleCheckEvery = 8;

// Steps between two samples of the time series the period is found in; a
// period of fewer than twice as many steps goes unseen.
inline constexpr std::int64_t PeriodSampleEvery = 8;

// Steps at the end of a run over which `change` is averaged.
inline constexpr std::int64_t ChangeSteps = 100;

// The point's boxes through the intake, the seeded noise, K steps; exactly
// what rdsim-batch --random SEED does with these coefficients.
PointResult RunPoint(const RunOptions& options, std::size_t point, const PointControl& control = {});

// The intake of every point, before any runs: a text it rejects raises
// ArgumentError naming --params, --size, --x or --y. Returns N.
int CheckIntake(const RunOptions& options);

// The first flag ("--mode", "--size", "--steps", "--params", "--random", "--x",
// "--y", "--shard") whose value gives `a` other points than `b`, compared as
// the intake reads them: "--steps 0300" and "--steps 300" are the same sweep.
// Raises ArgumentError when either fails the intake.
std::optional<std::string> FirstDifference(const RunOptions& a, const RunOptions& b);

}  // namespace rdsim::atlas

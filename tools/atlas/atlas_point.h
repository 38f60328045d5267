#pragma once

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
  std::vector<float> field;  // newest complete field: activator cells, then inhibitor cells
};

// Steps at the end of a run over which `change` is averaged.
inline constexpr std::int64_t ChangeSteps = 100;

// The point's boxes through the intake, the seeded noise, K steps; exactly
// what rdsim-batch --random SEED does with these coefficients.
PointResult RunPoint(const RunOptions& options, std::size_t point);

// The intake of every point, before any runs: a text it rejects raises
// ArgumentError naming --params, --size, --x or --y. Returns N.
int CheckIntake(const RunOptions& options);

}  // namespace rdsim::atlas

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "analysis/time_series.h"
#include "core/step_loop.h"

namespace rdsim {

// The time series of the window's runs: a sample at every redraw, and the
// first step that left the field unchanged, checked after every step. The
// session points at one only while someone looks at it, so that a run
// without it pays a single test per step.
class RunSeries {
 public:
  // Before the first step of a run, so that the first step is watched too.
  void RunStarts(const Simulation& sim, Mode mode, std::int64_t fieldStep);
  // After each step of a run; fieldStep is the session's count after it,
  // handChanges a count that grows whenever a hand wrote to the field.
  void AfterStep(const Simulation& sim, Mode mode, std::int64_t fieldStep, std::uint64_t handChanges);
  // At each redraw of a run.
  void AtRedraw(const Simulation& sim, Mode mode, std::int64_t fieldStep);

  // A new probe starts a new series: one column holds one cell.
  void SetProbe(ProbeCell probe);
  ProbeCell Probe() const { return probe_; }
  void Clear();

  const std::vector<SeriesSample>& Samples() const { return history_.Samples(); }
  std::optional<std::int64_t> SettledAt() const { return settledAt_; }
  // Changes whenever what is shown would change.
  std::uint64_t Revision() const { return revision_; }
  std::string Csv() const;

 private:
  // A field of another mode or size, or a count that does not follow on, is
  // another field (Clear, Random, Open Field).
  bool SameField(const Simulation& sim, Mode mode, std::int64_t fieldStep, std::int64_t last) const;
  void Watch(const Simulation& sim, Mode mode, std::int64_t fieldStep);

  SeriesHistory history_;
  ProbeCell probe_;
  Mode mode_ = Mode::None;
  std::int32_t n_ = 0;
  std::unique_ptr<SettleWatch> watch_;
  std::int64_t watchedStep_ = -1;
  std::uint64_t handChanges_ = 0;  // and the coefficients, as the last step found them
  StepCoefficients coef_;
  std::optional<std::int64_t> settledAt_;
  std::uint64_t revision_ = 0;
};

}  // namespace rdsim

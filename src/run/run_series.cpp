#include "run/run_series.h"

namespace rdsim {

bool RunSeries::SameField(const Simulation& sim, Mode mode, std::int64_t fieldStep, std::int64_t last) const {
  return mode == mode_ && sim.N == n_ && fieldStep >= last;
}

void RunSeries::Watch(const Simulation& sim, Mode mode, std::int64_t fieldStep) {
  if (!SameField(sim, mode, fieldStep, watchedStep_)) settledAt_.reset();
  mode_ = mode;
  n_ = sim.N;
  watch_ = std::make_unique<SettleWatch>(sim, mode, 1);
  watchedStep_ = fieldStep;
  ++revision_;
}

void RunSeries::RunStarts(const Simulation& sim, Mode mode, std::int64_t fieldStep) {
  watch_.reset();
  Watch(sim, mode, fieldStep);
}

void RunSeries::AfterStep(const Simulation& sim, Mode mode, std::int64_t fieldStep, std::uint64_t handChanges) {
  const bool untouched = handChanges == handChanges_ && sim.coef == coef_;
  handChanges_ = handChanges;
  coef_ = sim.coef;
  // The watch compares a step with the field it started from, so it must
  // have seen the step before (a window opened during a run misses one).
  if (!watch_ || fieldStep != watchedStep_ + 1 || mode != mode_ || sim.N != n_) {
    return Watch(sim, mode, fieldStep);
  }
  watchedStep_ = fieldStep;
  // A step reads nothing but the field and the coefficients, so once one
  // left the field unchanged every later one does too until a hand or a new
  // coefficient changes them: the look at the whole field can wait. A look
  // now and then still catches a change made some other way.
  constexpr std::int64_t LookAnywayEvery = 64;
  if (settledAt_ && untouched && fieldStep % LookAnywayEvery != 0) return;
  const bool unchanged = watch_->StepLeftFieldUnchanged(fieldStep);
  // A stroke on a settled field sets it going again.
  if (unchanged == settledAt_.has_value()) return;
  if (unchanged) {
    settledAt_ = fieldStep;
  } else {
    settledAt_.reset();
  }
  ++revision_;
}

void RunSeries::AtRedraw(const Simulation& sim, Mode mode, std::int64_t fieldStep) {
  const std::vector<SeriesSample>& samples = history_.Samples();
  if (!samples.empty() && !SameField(sim, mode, fieldStep, samples.back().step)) history_.Clear();
  mode_ = mode;
  n_ = sim.N;
  history_.Add(SampleField(sim, mode, probe_, fieldStep));
  ++revision_;
}

void RunSeries::SetProbe(ProbeCell probe) {
  if (probe.x == probe_.x && probe.y == probe_.y) return;
  probe_ = probe;
  history_.Clear();
  ++revision_;
}

void RunSeries::Clear() {
  history_.Clear();
  settledAt_.reset();
  watch_.reset();
  ++revision_;
}

std::string RunSeries::Csv() const {
  std::string csv = SeriesCsvHeader();
  for (const SeriesSample& sample : history_.Samples()) AppendSeriesCsvRow(csv, sample);
  return csv;
}

}  // namespace rdsim

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/simulation.h"

namespace rdsim {

// One look at the field: its mean, minimum and maximum of each species, and
// both species at the probe cell.
enum SeriesColumn { MeanU, MinU, MaxU, MeanV, MinV, MaxV, ProbeU, ProbeV, SeriesColumnCount };
inline constexpr std::array<const char*, SeriesColumnCount> SeriesColumnNames{"mean_u", "min_u", "max_u",   "mean_v",
                                                                              "min_v",  "max_v", "probe_u", "probe_v"};

struct SeriesSample {
  std::int64_t step = 0;
  std::array<double, SeriesColumnCount> values{};
};

// The probe cell; y is ignored on a line. Outside the field it is clamped in.
struct ProbeCell {
  int x = 0, y = 0;
};

// The cell in the middle, where a probe starts.
ProbeCell CentreCell(int n);

// The newest field of `mode`. An empty or undersized buffer gives zeros.
SeriesSample SampleField(const Simulation& sim, Mode mode, ProbeCell probe, std::int64_t step);

// The newest `capacity` samples at most: when full, every other sample goes
// and only every second offered sample is kept from then on, so that the
// samples stay evenly spread over the whole run.
class SeriesHistory {
 public:
  static constexpr std::size_t DefaultCapacity = 100000;
  explicit SeriesHistory(std::size_t capacity = DefaultCapacity);

  void Add(const SeriesSample& sample);
  void Clear();
  const std::vector<SeriesSample>& Samples() const { return samples_; }

 private:
  std::size_t capacity_;
  std::uint64_t offered_ = 0, stride_ = 1;
  std::vector<SeriesSample> samples_;
};

// An oscillation's period in steps and how far its last cycles spread.
struct Period {
  double steps = 0;
  double spread = 0;  // largest minus smallest of the cycles measured
  int cycles = 0;
};

// From the upward crossings of the column's own mean over the newer half of
// the samples (the start of a run is a transient): a period only when at
// least MinCycles complete cycles were seen and the last of them (up to
// MaxCycles) agree within 5% or two sample spacings.
inline constexpr int MinCycles = 3, MaxCycles = 6;
std::optional<Period> FindPeriod(const std::vector<SeriesSample>& samples, SeriesColumn column);

// The probe's activator when it oscillates, else the mean activator's.
struct SeriesPeriod {
  Period period;
  SeriesColumn column = ProbeU;
};
std::optional<SeriesPeriod> FindSeriesPeriod(const std::vector<SeriesSample>& samples);

// "step,mean_u,...,probe_v" and one row per sample; every value read back
// gives the same double (floats stay exact).
std::string SeriesCsvHeader();
void AppendSeriesCsvRow(std::string& csv, const SeriesSample& sample);

}  // namespace rdsim

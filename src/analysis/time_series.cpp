#include "analysis/time_series.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace rdsim {

namespace {

// Sum, least and largest of `cells` floats in one pass. A sample at every
// step must cost a small share of a step, so the sum runs in 32 float lanes
// (four vectors of eight: the compiler does not vectorise a sum on its own
// without reordering it) over blocks of Block values, and each block's lane
// sums go to a double per lane, always in this order: every caller gets the
// same bits, within about 1e-6 of the mean. A copy for AVX2 does the same
// operations twice as wide, so it gives the same bits too.
//
// The least and largest are taken on the values' bits as integers, which
// order finite floats without a sign as the floats do and leave the
// floating-point units to the sum. A field holding a value with a sign, an
// infinity or a NaN is looked at again as floats.
using Octet = float __attribute__((vector_size(32)));
using Bits = std::int32_t __attribute__((vector_size(32)));
constexpr std::size_t Octets = 4, Lanes = 8 * Octets, Block = 1024;
constexpr std::int32_t InfinityBits = 0x7f800000;

std::int32_t BitsOf(float value) { return std::bit_cast<std::int32_t>(value); }

__attribute__((target_clones("avx2", "default"))) void Summarise(const float* values, std::size_t cells, double& mean,
                                                                 double& low, double& high) {
  double total[Lanes] = {};
  Bits lo[Octets], hi[Octets];
  for (std::size_t j = 0; j < Octets; ++j) lo[j] = hi[j] = Bits{} + BitsOf(values[0]);
  std::size_t i = 0;
  for (; i + Block <= cells; i += Block) {
    Octet lane[Octets] = {};
    for (std::size_t b = 0; b < Block; b += Lanes) {
      for (std::size_t j = 0; j < Octets; ++j) {
        Octet v;
        Bits n;
        std::memcpy(&v, values + i + b + 8 * j, sizeof v);
        std::memcpy(&n, values + i + b + 8 * j, sizeof n);
        lane[j] += v;
        lo[j] = n < lo[j] ? n : lo[j];
        hi[j] = n > hi[j] ? n : hi[j];
      }
    }
    for (std::size_t j = 0; j < Lanes; ++j) total[j] += lane[j / 8][j % 8];
  }
  double sum = 0;
  for (const double t : total) sum += t;
  std::int32_t least = lo[0][0], largest = hi[0][0];
  for (std::size_t j = 0; j < Lanes; ++j) {
    least = std::min(least, lo[j / 8][j % 8]);
    largest = std::max(largest, hi[j / 8][j % 8]);
  }
  for (; i < cells; ++i) {
    sum += values[i];
    least = std::min(least, BitsOf(values[i]));
    largest = std::max(largest, BitsOf(values[i]));
  }
  mean = sum / static_cast<double>(cells);
  if (least >= 0 && largest < InfinityBits) {
    low = std::bit_cast<float>(least);
    high = std::bit_cast<float>(largest);
    return;
  }
  float floatLeast = values[0], floatLargest = values[0];
  for (std::size_t k = 1; k < cells; ++k) {
    if (values[k] < floatLeast) floatLeast = values[k];
    if (values[k] > floatLargest) floatLargest = values[k];
  }
  low = floatLeast;
  high = floatLargest;
}

}  // namespace

ProbeCell CentreCell(int n) { return {std::max(n, 0) / 2, std::max(n, 0) / 2}; }

SeriesSample SampleField(const Simulation& sim, Mode mode, ProbeCell probe, std::int64_t step) {
  SeriesSample sample;
  sample.step = step;
  if (mode == Mode::None || sim.N <= 0) return sample;
  const auto n = static_cast<std::size_t>(sim.N);
  const std::size_t cells = mode == Mode::TwoD ? n * n : n;
  const Buffer& u = NewestActivator(sim, mode);
  const Buffer& v = NewestInhibitor(sim, mode);
  if (u.size() < cells || v.size() < cells) return sample;
  auto& s = sample.values;
  Summarise(u.data(), cells, s[MeanU], s[MinU], s[MaxU]);
  Summarise(v.data(), cells, s[MeanV], s[MinV], s[MaxV]);
  const auto x = static_cast<std::size_t>(std::clamp(probe.x, 0, sim.N - 1));
  const auto y = mode == Mode::TwoD ? static_cast<std::size_t>(std::clamp(probe.y, 0, sim.N - 1)) : 0;
  s[ProbeU] = u[y * n + x];
  s[ProbeV] = v[y * n + x];
  return sample;
}

SeriesHistory::SeriesHistory(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 2)) {}

void SeriesHistory::Add(const SeriesSample& sample) {
  if (offered_++ % stride_ != 0) return;
  samples_.push_back(sample);
  if (samples_.size() < capacity_) return;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < samples_.size(); i += 2) samples_[kept++] = samples_[i];
  samples_.resize(kept);
  stride_ *= 2;
}

void SeriesHistory::Clear() {
  samples_.clear();
  offered_ = 0;
  stride_ = 1;
}

std::optional<Period> FindPeriod(const std::vector<SeriesSample>& samples, SeriesColumn column) {
  const std::size_t first = samples.size() / 2;
  if (samples.size() - first < 2 * MinCycles + 2) return std::nullopt;
  double sum = 0, low = std::numeric_limits<double>::infinity(), high = -low;
  for (std::size_t i = first; i < samples.size(); ++i) {
    const double v = samples[i].values[column];
    if (!std::isfinite(v)) return std::nullopt;
    sum += v;
    low = std::min(low, v);
    high = std::max(high, v);
  }
  const double mean = sum / static_cast<double>(samples.size() - first);
  // Rounding noise on a settled field is no oscillation.
  if (!(high - low > 1e-6 * std::max(1.0, std::fabs(mean)))) return std::nullopt;
  // A crossing counts once the signal has been clearly below its mean, so
  // that noise around the mean does not add crossings.
  const double below = mean - 0.05 * (high - low);
  std::vector<double> crossings;
  bool armed = false;
  for (std::size_t i = first + 1; i < samples.size(); ++i) {
    const double a = samples[i - 1].values[column], b = samples[i].values[column];
    if (a < below) armed = true;
    if (armed && a < mean && b >= mean) {
      const double t0 = static_cast<double>(samples[i - 1].step), t1 = static_cast<double>(samples[i].step);
      crossings.push_back(t0 + (t1 - t0) * (mean - a) / (b - a));
      armed = false;
    }
  }
  if (crossings.size() < MinCycles + 1) return std::nullopt;
  const std::size_t cycles = std::min<std::size_t>(crossings.size() - 1, MaxCycles);
  double total = 0, shortest = std::numeric_limits<double>::infinity(), longest = 0;
  for (std::size_t i = crossings.size() - cycles; i < crossings.size(); ++i) {
    const double length = crossings[i] - crossings[i - 1];
    total += length;
    shortest = std::min(shortest, length);
    longest = std::max(longest, length);
  }
  Period period{total / static_cast<double>(cycles), longest - shortest, static_cast<int>(cycles)};
  const double spacing =
      static_cast<double>(samples.back().step - samples[first].step) / static_cast<double>(samples.size() - 1 - first);
  if (period.spread > std::max(0.05 * period.steps, 2 * spacing)) return std::nullopt;
  return period;
}

std::optional<SeriesPeriod> FindSeriesPeriod(const std::vector<SeriesSample>& samples) {
  for (const SeriesColumn column : {ProbeU, MeanU}) {
    if (const std::optional<Period> period = FindPeriod(samples, column)) return SeriesPeriod{*period, column};
  }
  return std::nullopt;
}

std::string SeriesCsvHeader() {
  std::string header = "step";
  for (const char* name : SeriesColumnNames) header += std::string(",") + name;
  return header + "\n";
}

void AppendSeriesCsvRow(std::string& csv, const SeriesSample& sample) {
  // Shortest text that reads back to the same double, whatever the locale.
  char text[32 + SeriesColumnCount * 32 + 1];  // the step, each value after its comma, the newline
  char* at = std::to_chars(text, text + 32, sample.step).ptr;
  for (const double value : sample.values) {
    *at++ = ',';
    at = std::to_chars(at, at + 31, value).ptr;  // 24 characters at most
  }
  *at++ = '\n';
  csv.append(text, at);
}

}  // namespace rdsim

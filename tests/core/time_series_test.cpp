// The time series: its history's thinning, the period of synthetic signals
// and of the presets, and the settle test on a preset that settles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <string>

#include "analysis/time_series.h"
#include "command_line/intake.h"
#include "core/noise_fill.h"
#include "core/number_text.h"
#include "core/step_loop.h"
#include "params/builtin_presets.h"
#include "run/run_series.h"

namespace rdsim {
namespace {

std::vector<SeriesSample> Signal(int samples, int every, const std::function<double(double)>& f) {
  SeriesHistory history;
  for (int i = 0; i < samples; ++i) {
    SeriesSample s;
    s.step = std::int64_t{i} * every;
    s.values[MeanU] = f(static_cast<double>(s.step));
    history.Add(s);
  }
  return history.Samples();
}

TEST(TimeSeries, PeriodOfSyntheticSignals) {
  const double pi = std::numbers::pi;
  const struct {
    const char* name;
    int samples, every;
    std::function<double(double)> f;
    std::optional<double> period;
  } cases[] = {
      {"sine", 2000, 1, [&](double t) { return 3 + std::sin(2 * pi * t / 77.5); }, 77.5},
      {"sampled every 10", 2000, 10, [&](double t) { return std::sin(2 * pi * t / 1234); }, 1234},
      {"spikes", 3000, 1, [](double t) { return std::fmod(t, 40) < 3 ? 5.0 : 0.0; }, 40},
      {"with ripple", 3000, 1, [&](double t) { return std::sin(2 * pi * t / 100) + 0.02 * std::sin(t * 2.1); }, 100},
      {"constant", 2000, 1, [](double) { return 4.25; }, std::nullopt},
      {"rounding noise", 2000, 1, [](double t) { return 4.25 + 1e-9 * std::sin(t); }, std::nullopt},
      {"two cycles", 200, 1, [&](double t) { return std::sin(2 * pi * t / 50); }, std::nullopt},
      {"slowing", 4000, 1, [&](double t) { return std::sin(2 * pi * 20 * std::log1p(t / 100)); }, std::nullopt},
      {"decay", 2000, 1, [](double t) { return std::exp(-t / 300); }, std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<Period> period = FindPeriod(Signal(c.samples, c.every, c.f), MeanU);
    ASSERT_EQ(period.has_value(), c.period.has_value()) << c.name;
    if (!period) continue;
    EXPECT_NEAR(period->steps, *c.period, 0.01 * *c.period) << c.name;
    EXPECT_GE(period->cycles, MinCycles) << c.name;
    EXPECT_LE(period->spread, 0.05 * *c.period) << c.name;
  }
}

TEST(TimeSeries, HistoryKeepsTheNewestSamplesEvenlySpread) {
  SeriesHistory history(10);
  for (int k = 0; k < 1000; ++k) history.Add(SeriesSample{k, {}});
  const std::vector<SeriesSample>& kept = history.Samples();
  ASSERT_GE(kept.size(), 5u);
  ASSERT_LT(kept.size(), 10u);
  const std::int64_t gap = kept[1].step - kept[0].step;
  for (std::size_t i = 1; i < kept.size(); ++i) EXPECT_EQ(kept[i].step - kept[i - 1].step, gap);
  EXPECT_GT(kept.back().step, 1000 - gap - 1);
  EXPECT_EQ(kept.front().step, 0);
}

// The least and largest are found on the values' bits when no value has a
// sign; any other field must give what comparing floats gives.
TEST(TimeSeries, SampleFieldExtremesWhateverTheSigns) {
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    const char* name;
    std::size_t cell;  // where `value` and a third of it go into noise; 1600 cells, the last 576 after the blocks
    float value;
  } cases[] = {{"noise", 0, 0.5f},
               {"a large value last", 1599, 3e38f},
               {"a negative in a block", 7, -1.5f},
               {"a negative at the end", 1599, -1.5f},
               {"minus zero", 900, -0.0f},
               {"infinity", 300, inf}};
  for (const auto& c : cases) {
    Simulation sim;
    sim.N = 40;
    sim.CurrentInU = true;
    sim.buffers.U.resize(1601);
    sim.buffers.V.resize(1601);
    FillNoise(sim.buffers.U, sim.buffers.V, 1600, 3);
    sim.buffers.U[c.cell] = c.value;
    sim.buffers.U[c.cell ^ 1] = c.value / 3;
    const SeriesSample sample = SampleField(sim, Mode::TwoD, {}, 0);
    const auto [least, largest] = std::minmax_element(sim.buffers.U.begin(), sim.buffers.U.begin() + 1600);
    EXPECT_EQ(sample.values[MinU], *least) << c.name;
    EXPECT_EQ(sample.values[MaxU], *largest) << c.name;
  }
}

Simulation PresetField(const std::string& name, int n) {
  for (const BuiltinPreset& preset : BuiltinPresets()) {
    if (preset.record.name != name) continue;
    CoefficientTexts texts;
    for (std::size_t k = 0; k < texts.size(); ++k) texts[k] = FormatSingle(preset.record.values[k]);
    Simulation sim;
    cli::TakeParameters(sim, Mode::TwoD, std::to_string(n), texts);
    FillNoise(sim.buffers.U, sim.buffers.V, static_cast<std::size_t>(n * n), 1);
    return sim;
  }
  ADD_FAILURE() << name;
  return {};
}

// Pulsing brightens and darkens the whole field in turn; Labyrinth comes to
// rest bit for bit (on a small square, so that it does within the test).
TEST(TimeSeries, PulsingOscillatesAndLabyrinthSettles) {
  const struct {
    const char* preset;
    std::int64_t steps;
    bool periodic, settles;
  } cases[] = {{"Pulsing", 40000, true, false}, {"Labyrinth", 150000, false, true}};
  for (const auto& c : cases) {
    Simulation sim = PresetField(c.preset, 32);
    SeriesHistory history;
    SettleWatch settle(sim, Mode::TwoD, 1);
    std::optional<std::int64_t> settledAt;
    for (std::int64_t k = 1; k <= c.steps && !settledAt; ++k) {
      RunSteps(sim, Mode::TwoD, 1);
      if (settle.StepLeftFieldUnchanged(k)) settledAt = k;
      if (k % 10 == 0) history.Add(SampleField(sim, Mode::TwoD, CentreCell(sim.N), k));
    }
    const std::optional<SeriesPeriod> period = FindSeriesPeriod(history.Samples());
    EXPECT_EQ(period.has_value(), c.periodic) << c.preset;
    if (period) {
      EXPECT_GT(period->period.steps, 1000) << c.preset;
    }
    EXPECT_EQ(settledAt.has_value(), c.settles) << c.preset;
  }
}

// The window's watch skips its look at a settled field that nobody touched:
// whatever touches it must set it going again, at the next step when counted
// as a hand change, at the next look anyway when not.
TEST(TimeSeries, SettledFieldGoesOnWhenTouched) {
  const auto write = [](Simulation& sim) { sim.buffers.U[5] = sim.buffers.U2[5] = 5; };
  const struct {
    const char* touch;
    std::function<void(Simulation&, std::uint64_t&)> f;
    std::int64_t noticedAfter;  // at most, in steps; 0: never
  } cases[] = {
      {"nothing", [](Simulation&, std::uint64_t&) {}, 0},
      {"a counted write", [&](Simulation& sim, std::uint64_t& hands) { write(sim), ++hands; }, 1},
      {"a new coefficient", [](Simulation& sim, std::uint64_t&) { sim.coef.cU = 0.01f; }, 1},
      {"an uncounted write", [&](Simulation& sim, std::uint64_t&) { write(sim); }, 64},
  };
  for (const auto& c : cases) {
    Simulation sim = PresetField("Spiral waves", 16);  // keeps the zero field as it is
    for (Buffer* b : {&sim.buffers.U, &sim.buffers.V, &sim.buffers.U2, &sim.buffers.V2}) std::ranges::fill(*b, 0.0f);
    RunSeries series;
    std::uint64_t hands = 0;
    series.RunStarts(sim, Mode::TwoD, 0);
    std::int64_t step = 0;
    const auto stepOnce = [&] {
      RunSteps(sim, Mode::TwoD, 1);
      series.AfterStep(sim, Mode::TwoD, ++step, hands);
    };
    while (step < 100) stepOnce();
    ASSERT_EQ(series.SettledAt(), std::optional<std::int64_t>(1)) << c.touch;
    c.f(sim, hands);
    const std::int64_t touched = step;
    while (series.SettledAt() == std::optional<std::int64_t>(1) && step < 300) stepOnce();
    const std::int64_t noticed = series.SettledAt() == std::optional<std::int64_t>(1) ? 0 : step - touched;
    EXPECT_EQ(noticed > 0, c.noticedAfter > 0) << c.touch;
    EXPECT_LE(noticed, c.noticedAfter) << c.touch;
  }
}

}  // namespace
}  // namespace rdsim

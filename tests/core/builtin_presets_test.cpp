#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/integrators.h"
#include "core/noise_fill.h"
#include "core/number_text.h"
#include "core/parameter_intake.h"
#include "fake_window.h"
#include "params/builtin_presets.h"

namespace rdsim {
namespace {

TEST(BuiltinPresets, StartWithTheDesignTextsAndFitTheFile) {
  const auto& presets = BuiltinPresets();
  ASSERT_GE(presets.size(), 6u);
  ASSERT_LE(presets.size(), static_cast<std::size_t>(PresetRows));
  const testing::FakeBoxes design;
  std::set<std::string> names;
  for (std::size_t i = 0; i < presets.size(); ++i) {
    const PresetRecord& record = presets[i].record;
    EXPECT_TRUE(names.insert(record.name).second) << record.name;
    EXPECT_NO_THROW(CheckPresetName(record.name));
    for (std::size_t k = 0; k < record.values.size(); ++k) {
      if (i == 0) {
        EXPECT_EQ(FormatSingle(record.values[k]), design.k[k]) << "k" << k;
      }
      // Written to the file and read back, every value is the same single.
      EXPECT_EQ(ParseSingle(FormatSingle(record.values[k])), record.values[k]) << record.name;
    }
  }
}

// Every preset from the Random button's noise, for the steps of its picture on
// a smaller field: no fault, and a pattern, not an even field, at the end.
TEST(BuiltinPresets, EachGrowsAPatternFromNoise) {
  for (const BuiltinPreset& preset : BuiltinPresets()) {
    SCOPED_TRACE(preset.record.name);
    testing::FakeBoxes boxes;
    testing::FakeView view;
    for (std::size_t k = 0; k < boxes.k.size(); ++k) boxes.k[k] = FormatSingle(preset.record.values[k]);
    boxes.mode = preset.mode;
    boxes.size = preset.mode == Mode::TwoD ? "48" : "128";
    Simulation sim;
    ReadParameters(sim, boxes, view);
    const std::size_t cells = preset.mode == Mode::TwoD ? 48u * 48u : 128u;
    FillNoise(sim.buffers.U, sim.buffers.V, cells, 1);
    for (int step = 0; step < preset.steps; ++step) {
      if (preset.mode == Mode::TwoD) {
        Step2D(sim, sim.CurrentInU ? Direction::Forward : Direction::Backward);
      } else {
        Step1D(sim);
      }
    }
    const Buffer& u = preset.mode == Mode::TwoD && !sim.CurrentInU ? sim.buffers.U2 : sim.buffers.U;
    const auto [low, high] = std::minmax_element(u.begin(), u.begin() + static_cast<std::ptrdiff_t>(cells));
    EXPECT_GT(*high - *low, 1.0f) << "the activator lies between " << *low << " and " << *high;
    EXPECT_GE(*low, 0.0f);
  }
}

}  // namespace
}  // namespace rdsim

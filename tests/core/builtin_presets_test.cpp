#include <gtest/gtest.h>

#include <algorithm>

#include "core/integrators.h"
#include "core/noise_fill.h"
#include "core/number_text.h"
#include "core/parameter_intake.h"
#include "fake_window.h"
#include "params/builtin_presets.h"

namespace rdsim {
namespace {

// Each preset from the Random button's noise for the steps of its picture, on a
// smaller square: the design texts first, no fault, and a pattern at the end.
TEST(BuiltinPresets, StartWithTheDesignAndEachGrowsAPatternFromNoise) {
  const testing::FakeBoxes design;
  for (const BuiltinPreset& preset : BuiltinPresets()) {
    SCOPED_TRACE(preset.record.name);
    testing::FakeBoxes boxes;
    for (std::size_t k = 0; k < boxes.k.size(); ++k) boxes.k[k] = FormatSingle(preset.record.values[k]);
    if (&preset == &BuiltinPresets().front()) {
      EXPECT_EQ(boxes.k, design.k);
    }
    boxes.mode = preset.mode;
    boxes.size = preset.mode == Mode::TwoD ? "48" : "128";
    Simulation sim;
    testing::FakeView view;
    ReadParameters(sim, boxes, view);
    const std::size_t cells = preset.mode == Mode::TwoD ? 48u * 48u : 128u;
    FillNoise(sim.buffers.U, sim.buffers.V, cells, 1);
    for (int step = 0; step < preset.steps; ++step) {
      if (preset.mode == Mode::OneD) Step1D(sim);
      if (preset.mode == Mode::TwoD) Step2D(sim, sim.CurrentInU ? Direction::Forward : Direction::Backward);
    }
    const Buffer& u = sim.CurrentInU ? sim.buffers.U : sim.buffers.U2;
    const auto [low, high] = std::minmax_element(u.begin(), u.begin() + static_cast<std::ptrdiff_t>(cells));
    EXPECT_GT(*high - *low, 1.0f) << "the activator lies between " << *low << " and " << *high;
  }
}

}  // namespace
}  // namespace rdsim

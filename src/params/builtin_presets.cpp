#include "params/builtin_presets.h"

namespace rdsim {

const std::vector<BuiltinPreset>& BuiltinPresets() {
  // Each is a small step away from the design texts (the first entry); the
  // comment names what was changed. Pictures: seeded noise, then `steps`.
  static const std::vector<BuiltinPreset> presets{
      {{"Labyrinth", {0.08f, -0.08f, 0.04f, 0.03f, 0.06f, -0.03f, -0.15f, 0.01f, 0.25f, 0.2f, 0.5f}},
       Mode::TwoD,
       128,
       10000},
      // k9 up: the activator's higher ceiling breaks the bands into dots.
      {{"Spots", {0.08f, -0.08f, 0.04f, 0.03f, 0.06f, -0.03f, -0.15f, 0.01f, 0.25f, 0.4f, 0.5f}},
       Mode::TwoD,
       128,
       10000},
      // k6 down: dark holes in a bright field.
      {{"Holes", {0.08f, -0.08f, 0.04f, 0.03f, 0.06f, -0.03f, -0.22f, 0.01f, 0.25f, 0.2f, 0.5f}},
       Mode::TwoD,
       128,
       10000},
      // Du, Dv up alike: wider bands that grow out of a few centres and stay parallel.
      {{"Stripes", {0.08f, -0.08f, 0.04f, 0.03f, 0.06f, -0.03f, -0.15f, 0.015f, 0.375f, 0.2f, 0.5f}},
       Mode::TwoD,
       128,
       20000},
      // A slower inhibitor and little difference in diffusion: the field oscillates,
      // dark holes open and close and fronts of the switch travel across it.
      {{"Pulsing", {0.12f, -0.08f, 0.04f, 0.03f, 0.03f, -0.01f, -0.075f, 0.01f, 0.04f, 0.2f, 0.5f}},
       Mode::TwoD,
       128,
       5600},
      // On a line: the design's pattern with wider spacing.
      {{"Peaks (1D)", {0.08f, -0.08f, 0.04f, 0.03f, 0.06f, -0.03f, -0.15f, 0.03f, 0.75f, 0.2f, 0.5f}},
       Mode::OneD,
       128,
       10000},
      // On a line: narrow, tall spikes, close together.
      {{"Spikes (1D)", {0.08f, -0.08f, 0.04f, 0.03f, 0.06f, -0.03f, -0.15f, 0.005f, 0.125f, 0.4f, 0.5f}},
       Mode::OneD,
       128,
       10000},
      // The two below leave the design: their unstable focus sits at u = v = 5, the
      // mean of the Random button's noise, so neighbouring patches leave it in
      // different phases and the field never falls into step.
      // Excitable (u = v = 0 is at rest) with equal diffusion: the phase
      // defects of the noise turn into rotating spirals. A narrow ridge: k0
      // moved by 0.01 shifts the focus enough that the field fires in step
      // and goes dark.
      {{"Spiral waves", {0.14f, -0.1f, -0.05f, 0.03f, 0.1f, -0.03f, -0.35f, 0.05f, 0.05f, 0.3f, 0.5f}},
       Mode::TwoD,
       128,
       10000},
      // On a line: oscillating everywhere, with a still inhibitor; pulses run
      // out of ever-new sources and die where two trains meet.
      {{"Pulses (1D)", {0.12f, -0.1f, 0.05f, 0.03f, 0.1f, -0.03f, -0.35f, 0.02f, 0.0f, 0.3f, 0.5f}},
       Mode::OneD,
       128,
       10000},
  };
  return presets;
}

}  // namespace rdsim

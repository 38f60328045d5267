#pragma once

#include <cstdint>
#include <vector>

#include "core/step_coefficients.h"

namespace rdsim {

// Panel coordinates: 200 units per unit of concentration.
struct PhasePoint {
  float x = 0, y = 0;
  std::uint32_t color = 0;  // 0xRRGGBB
};

inline constexpr std::uint32_t ActivatorNullclineColor = 0xFF0000;
inline constexpr std::uint32_t InhibitorNullclineColor = 0x0000FF;
inline constexpr std::uint32_t PathColor = 0x000000;
inline constexpr int PhasePathSteps = 10000;

// The points one click in the phase plane draws, in drawing order: the
// activator nullcline, the inhibitor nullcline, then the path of one cell
// without diffusion from (u0, v0). A nullcline whose inhibitor weight is 0 is
// left out; a nullcline point beyond single precision is left out; the path
// ends where it leaves single precision. synU and synV are the shared scratch
// values, left as the last path step set them.
std::vector<PhasePoint> PhasePlanePoints(const StepCoefficients& c, float u0, float v0, float& synU, float& synV);

}  // namespace rdsim

#pragma once

namespace rdsim {

// Fixed for the life of the program; single precision like every stored value.
inline constexpr float dt = 0.1f;
inline constexpr float dx = 0.6f;
inline constexpr float Umax = 10.0f;  // top of the activator scale
inline constexpr float Vmax = 10.0f;  // top of the inhibitor scale

inline constexpr int MaxFieldSize = 128;
// Below two cells the integrators would read the spare element as a neighbour.
inline constexpr int MinFieldSize = 2;
inline constexpr int MaxRunSteps = 1'000'000;

}  // namespace rdsim

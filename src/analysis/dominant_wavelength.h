#pragma once

#include <optional>
#include <span>

#include "core/simulation.h"

// The wavelength a field shows, measured on the grid's own modes: the cosines
// with mirror ends whose growth the linear stability analysis predicts, so a
// prediction and a measurement count wavelengths the same way.

namespace rdsim {

// Below this standard deviation a field counts as uniform: far above the
// rounding of single-precision values on the 0 to 10 scale, far below any
// pattern one can see.
inline constexpr double UniformFieldDeviation = 1e-3;

// The dominant wavelength in cells of the N cells of a line, or the N x N
// cells (row-major) of a square: the peak of the radially averaged power
// spectrum, refined to the power-weighted mean |k| of the modes around the
// peak, as 2 (N-1) / |k|. Empty for a uniform field, and for one whose values
// are not all finite. Raises RunError when `cells` is shorter than the field
// or N is outside 2 .. 128.
std::optional<double> DominantWavelength(std::span<const float> cells, Mode mode, int n);

}  // namespace rdsim

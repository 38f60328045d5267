#pragma once

#include <cstddef>
#include <cstdint>

#include "core/field_buffers.h"

namespace rdsim {

// Uniform noise in [0, Umax) for the activator and [0, Vmax) for the
// inhibitor in the first `cells` elements, from a generator seeded with
// `seed`: the Random button's fill, reproducible for a given seed. Raises
// Subscript out of range when a buffer is shorter than `cells`.
void FillNoise(Buffer& u, Buffer& v, std::size_t cells, std::uint32_t seed);

}  // namespace rdsim

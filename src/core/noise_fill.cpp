#include "core/noise_fill.h"

#include <random>

#include "core/checked.h"
#include "core/constants.h"

namespace rdsim {

namespace {

// Uniform in [0, 1): 24 random bits are exactly representable in single.
float NextUniform(std::mt19937& generator) { return static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f); }

}  // namespace

void FillNoise(Buffer& u, Buffer& v, std::size_t cells, std::uint32_t seed) {
  if (u.size() < cells || v.size() < cells) {
    throw RunError(Fault::SubscriptOutOfRange, "the field buffers are shorter than the field");
  }
  std::mt19937 generator(seed);
  for (std::size_t k = 0; k < cells; ++k) {
    u[k] = ToSingle(static_cast<double>(NextUniform(generator)) * Umax);
    v[k] = ToSingle(static_cast<double>(NextUniform(generator)) * Vmax);
  }
}

}  // namespace rdsim

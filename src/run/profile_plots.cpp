#include "run/profile_plots.h"

#include <cstdint>

#include "core/constants.h"
#include "core/run_error.h"

namespace rdsim {

namespace {
constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Red = 0xFF0000;
constexpr std::uint32_t Blue = 0x0000FF;
}  // namespace

void DrawProfiles(Picture& activator, Picture& inhibitor, const Simulation& sim) {
  const int n = sim.N;
  if (n > 0 &&
      (sim.buffers.U.size() < static_cast<std::size_t>(n) || sim.buffers.V.size() < static_cast<std::size_t>(n))) {
    throw RunError(Fault::SubscriptOutOfRange, "the profile buffers are shorter than the field size");
  }
  for (int i = 0; i < n; ++i) {
    const auto x = static_cast<float>(i);
    activator.Line(x, 0, x, Umax, White);
    activator.Line(x, 0, x, sim.buffers.U[static_cast<std::size_t>(i)], Red);
    inhibitor.Line(x, 0, x, Vmax, White);
    inhibitor.Line(x, 0, x, sim.buffers.V[static_cast<std::size_t>(i)], Blue);
  }
}

}  // namespace rdsim

#include "core/simulation.h"

#include "core/checked.h"

namespace rdsim {

std::int32_t BufferLength(Mode mode, std::int32_t n) {
  switch (mode) {
    case Mode::OneD: return CheckedAdd(n, 1);
    case Mode::TwoD: return CheckedAdd(CheckedAdd(CheckedMul(n, CheckedSub(n, 1)), n), 1);
    case Mode::None: break;
  }
  return 0;
}

const Buffer& NewestActivator(const Simulation& sim, Mode mode) {
  return mode == Mode::TwoD && !sim.CurrentInU ? sim.buffers.U2 : sim.buffers.U;
}

const Buffer& NewestInhibitor(const Simulation& sim, Mode mode) {
  return mode == Mode::TwoD && !sim.CurrentInU ? sim.buffers.V2 : sim.buffers.V;
}

}  // namespace rdsim

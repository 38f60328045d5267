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

}  // namespace rdsim

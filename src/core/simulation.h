#pragma once

#include <cstdint>

#include "core/field_buffers.h"
#include "core/step_coefficients.h"

namespace rdsim {

// The engine's state: the step coefficients, the field size and buffers. The
// flags of the run and the tools live in the window's session.
struct Simulation {
  StepCoefficients coef;
  std::int32_t N = 0;
  std::int32_t Nm1 = 0;  // last cell index
  std::int32_t Nm2 = 0;
  std::int32_t StepsPerImage = 0;
  FieldBuffers buffers;

  bool CurrentInU = false;  // U/V hold the newest 2D field

  // Clamped synthesis terms of the last cell updated.
  float synU = 0, synV = 0;

  Buffer& U() { return buffers.U; }
  Buffer& V() { return buffers.V; }
  Buffer& U2() { return buffers.U2; }
  Buffer& V2() { return buffers.V2; }
};

enum class Mode { None, OneD, TwoD };

// The buffers that hold the newest field: a 2D step that ran last forward left
// it in U2/V2; otherwise it is in U/V.
const Buffer& NewestActivator(const Simulation& sim, Mode mode);
const Buffer& NewestInhibitor(const Simulation& sim, Mode mode);

// Buffer length of each mode: N cells plus a spare, or N*N cells plus a spare.
// Overflow is raised through checked arithmetic.
std::int32_t BufferLength(Mode mode, std::int32_t n);

}  // namespace rdsim

#pragma once

#include <cfloat>
#include <cmath>

#include "core/checked.h"
#include "core/step_coefficients.h"

namespace rdsim::detail {

// The coefficients as doubles, since every sum and product runs in double.
struct StepWeights {
  double aU, bU, cU, aV, cV, DuS, DvS, centreU, centreV;
  float synUMax, synVMax;

  explicit StepWeights(const StepCoefficients& c)
      : aU(c.aU),
        bU(c.bU),
        cU(c.cU),
        aV(c.aV),
        cV(c.cV),
        DuS(c.DuS),
        DvS(c.DvS),
        centreU(c.centreU),
        centreV(c.centreV),
        synUMax(c.synUMax),
        synVMax(c.synVMax) {}
};

inline bool IsFiniteSingle(float x) { return std::fabs(x) <= FLT_MAX; }

// Stores one result. The checked flavour raises at once; the fast one only
// notes the fault, and the caller replays the step checked to name it.
template <bool Checked>
inline float Store(double x, bool& ok) {
  if constexpr (Checked) {
    return ToSingle(x);
  } else {
    const float f = static_cast<float>(x);
    ok &= IsFiniteSingle(f);
    return f;
  }
}

inline float Clamp(float x, float top) {
  if (x < 0.0f) return 0.0f;
  if (x > top) return top;
  return x;
}

}  // namespace rdsim::detail

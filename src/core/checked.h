#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "core/run_error.h"

namespace rdsim {

// Integer arithmetic that raises Overflow instead of wrapping.
inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_add_overflow(a, b, &r)) throw RunError(Fault::Overflow);
  return r;
}
inline std::int32_t CheckedSub(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) throw RunError(Fault::Overflow);
  return r;
}
inline std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw RunError(Fault::Overflow);
  return r;
}
inline std::int32_t CheckedMod(std::int32_t a, std::int32_t b) {
  if (b == 0) throw RunError(Fault::DivisionByZero);
  if (b == -1) return 0;  // INT_MIN % -1 traps in C++
  return a % b;
}

// Nearest integer, ties to even, as every integer conversion here rounds.
inline double RoundHalfEven(double x) { return std::nearbyint(x); }

// A double rounded (ties to even) into an integer type, Overflow outside it.
template <typename Int>
Int RoundToInt(double x) {
  if (std::isnan(x)) throw RunError(Fault::InvalidFloatingPoint);
  const double r = RoundHalfEven(x);
  if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
        r <= static_cast<double>(std::numeric_limits<Int>::max()))) {
    throw RunError(Fault::Overflow);
  }
  return static_cast<Int>(r);
}
inline std::int32_t RoundToInt32(double x) { return RoundToInt<std::int32_t>(x); }

// Raises the floating-point fault of a value that is about to be stored.
inline void CheckFinite(double x) {
  if (std::isnan(x)) throw RunError(Fault::InvalidFloatingPoint);
  if (std::isinf(x)) throw RunError(Fault::Overflow);
}

// Rounds once to single precision, the only way a result is stored.
inline float ToSingle(double x) {
  const float f = static_cast<float>(x);
  CheckFinite(f);
  return f;
}

}  // namespace rdsim

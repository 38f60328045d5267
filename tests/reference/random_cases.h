#pragma once

// Seeded random coefficient texts and fields for the checks against the
// reference. Everything follows from the generator's state, so a seed
// reproduces a case exactly.

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "reference_model.h"

namespace reference {

class CaseRandom {
 public:
  explicit CaseRandom(std::uint64_t seed) : engine_(seed) {}

  double Uniform(double low, double high);  // [low, high)
  int Integer(int low, int high);           // [low, high]
  bool Chance(double p);

  // Coefficient texts k0..k10 in ranges that mostly keep a run finite: zero
  // diffusion, negative caps and decay that drives cells below 0 included.
  // Texts vary in spelling (digits, exponents, a sign, blanks).
  std::array<std::string, 11> CoefficientTexts();

  // Cells of U and V for a field of `cells` cells: random values, zeros,
  // negative values, -0.0, sparse spikes, magnitudes far apart, sums that
  // cancel, or a uniform field.
  static constexpr int FieldKinds = 8;
  void FillField(Field& f, std::size_t cells);
  void FillField(Field& f, std::size_t cells, int kind);

 private:
  std::string NumberText(double value);  // in one of several spellings
  float CancellingValue(float big);

  std::mt19937_64 engine_;
};

}  // namespace reference

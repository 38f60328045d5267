#include "random_cases.h"

#include <cmath>
#include <cstdio>

namespace reference {

double CaseRandom::Uniform(double low, double high) {
  const double unit = static_cast<double>(engine_() >> 11) * 0x1p-53;
  return low + (high - low) * unit;
}

int CaseRandom::Integer(int low, int high) {
  const auto span = static_cast<std::uint64_t>(high - low) + 1;
  return low + static_cast<int>(engine_() % span);
}

bool CaseRandom::Chance(double p) { return Uniform(0.0, 1.0) < p; }

std::string CaseRandom::NumberText(double value) {
  char text[64];
  switch (Integer(0, 5)) {
    case 0: std::snprintf(text, sizeof text, "%.3e", value); break;
    case 1: std::snprintf(text, sizeof text, "%+.4f", value); break;
    case 2: std::snprintf(text, sizeof text, " %.2g ", value); break;
    default: std::snprintf(text, sizeof text, "%.*g", Integer(1, 9), value); break;
  }
  return text;
}

float CaseRandom::CancellingValue(float big) {
  const double pick = Uniform(0.0, 1.0);
  if (pick < 0.35) return big;
  if (pick < 0.7) return -big;
  return static_cast<float>(std::ldexp(Uniform(1.0, 2.0), Integer(-20, -5)));
}

std::array<std::string, 11> CaseRandom::CoefficientTexts() {
  std::array<double, 11> k{};
  if (Chance(0.3)) {
    // Around the design values, where patterns form.
    const std::array<double, 11> design{0.08, -0.08, 0.04, 0.03, 0.06, -0.03, -0.15, 0.01, 0.25, 0.2, 0.5};
    for (std::size_t i = 0; i < k.size(); ++i) k[i] = design[i] * Uniform(0.5, 1.5);
  } else {
    k[0] = Uniform(-1.5, 1.5);
    k[1] = Uniform(-1.5, 1.5);
    k[2] = Uniform(-1.0, 1.0);
    k[3] = Uniform(-0.05, 0.6);
    k[4] = Uniform(-1.5, 1.5);
    k[5] = Uniform(-0.6, 0.05);
    k[6] = Uniform(-1.0, 1.0);
    k[7] = Chance(0.2) ? 0.0 : Uniform(0.0, 0.9);
    k[8] = Chance(0.2) ? 0.0 : Uniform(0.0, 0.9);
    k[9] = Chance(0.25) ? Uniform(-1.0, 0.0) : Uniform(0.0, 4.0);
    k[10] = Chance(0.25) ? Uniform(-1.0, 0.0) : Uniform(0.0, 4.0);
  }
  std::array<std::string, 11> texts;
  for (std::size_t i = 0; i < k.size(); ++i) {
    // Zeros of either sign, so that signed zeros reach the cells.
    if (k[i] == 0.0 || Chance(0.06)) {
      texts[i] = Chance(0.5) ? "0" : "-0";
    } else {
      texts[i] = NumberText(k[i]);
    }
  }
  return texts;
}

void CaseRandom::FillField(Field& f, std::size_t cells) { FillField(f, cells, Integer(0, FieldKinds - 1)); }

void CaseRandom::FillField(Field& f, std::size_t cells, int kind) {
  const float uniformU = static_cast<float>(Uniform(0.0, 10.0));
  const float uniformV = static_cast<float>(Uniform(0.0, 10.0));
  const float big = static_cast<float>(std::ldexp(Uniform(1.0, 2.0), 40));
  for (std::size_t k = 0; k < cells; ++k) {
    float u = 0.0f, v = 0.0f;
    switch (kind) {
      case 0:  // plain noise over the value scale
      case 1:
        u = static_cast<float>(Uniform(0.0, 10.0));
        v = static_cast<float>(Uniform(0.0, 10.0));
        break;
      case 2:  // negative values and signed zeros
        u = Chance(0.2) ? -0.0f : static_cast<float>(Uniform(-5.0, 5.0));
        v = Chance(0.2) ? -0.0f : static_cast<float>(Uniform(-5.0, 5.0));
        break;
      case 3:  // sparse spikes on an empty field
        u = Chance(0.05) ? static_cast<float>(Uniform(0.0, 50.0)) : 0.0f;
        v = Chance(0.05) ? static_cast<float>(Uniform(0.0, 50.0)) : 0.0f;
        break;
      case 4:  // magnitudes far apart, so that the order of every sum shows
        u = Chance(0.1) ? 0.0f : static_cast<float>(std::ldexp(Uniform(1.0, 2.0), Integer(-40, 40)));
        v = Chance(0.1) ? 0.0f : static_cast<float>(std::ldexp(Uniform(1.0, 2.0), Integer(-40, 40)));
        break;
      case 5:  // +-X and values too small to survive a double sum with X:
               // the neighbour sums cancel, and their order shows in floats
        u = CancellingValue(big);
        v = CancellingValue(big);
        break;
      case 6:  // uniform: every cell, edges too, must stay equal
        u = uniformU;
        v = uniformV;
        break;
      default:  // all zero, a few of them negative zeros
        u = Chance(0.1) ? -0.0f : 0.0f;
        v = Chance(0.1) ? -0.0f : 0.0f;
        break;
    }
    f.U[k] = u;
    f.V[k] = v;
  }
}

}  // namespace reference

#include "reference_model.h"

#include <cmath>
#include <cstdlib>

namespace reference {

const char* FaultName(Fault fault) {
  switch (fault) {
    case Fault::Overflow: return "Overflow";
    case Fault::Invalid: return "Invalid floating-point operation";
    case Fault::None: break;
  }
  return "none";
}

namespace {

const double dt = static_cast<double>(0.1f);
const double dx = static_cast<double>(0.6f);

bool Blank(char c) { return c == ' ' || c == '\t'; }

// Only plain decimal texts are fed in, so strtod's reading is the intended one.
std::optional<double> TextToDouble(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin) return std::nullopt;
  while (Blank(*end)) ++end;
  if (*end != '\0' || std::isinf(value)) return std::nullopt;
  return value;
}

std::optional<float> TextToFloat(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const float value = std::strtof(begin, &end);
  if (end == begin) return std::nullopt;
  while (Blank(*end)) ++end;
  if (*end != '\0' || std::isinf(value)) return std::nullopt;
  return value;
}

bool Finite(float x) { return !std::isnan(x) && !std::isinf(x); }

Fault Check(float stored) {
  if (std::isnan(stored)) return Fault::Invalid;
  if (std::isinf(stored)) return Fault::Overflow;
  return Fault::None;
}

float ClampSynthesis(float x, float top) {
  if (x < 0.0f) return 0.0f;
  if (x > top) return top;
  return x;
}

}  // namespace

std::optional<Coefficients> Derive(const std::array<std::string, 11>& texts, int neighbours) {
  Coefficients c;
  float* scaled[] = {&c.aU, &c.bU, &c.cU, &c.decayU, &c.aV, &c.bV, &c.cV};
  for (int k = 0; k < 7; ++k) {
    const auto value = TextToDouble(texts[static_cast<std::size_t>(k)]);
    if (!value) return std::nullopt;
    *scaled[k] = static_cast<float>(*value * dt);
  }
  const auto k9 = TextToDouble(texts[9]);
  const auto k10 = TextToDouble(texts[10]);
  const auto k7 = TextToFloat(texts[7]);
  const auto k8 = TextToFloat(texts[8]);
  if (!k9 || !k10 || !k7 || !k8) return std::nullopt;
  c.synUMax = static_cast<float>(*k9 * dt);
  c.synVMax = static_cast<float>(*k10 * dt);
  c.Du = *k7;
  c.Dv = *k8;
  c.DuS = static_cast<float>(((static_cast<double>(c.Du) * dt) / dx) / dx);
  c.DvS = static_cast<float>(((dt * static_cast<double>(c.Dv)) / dx) / dx);
  const double m = neighbours;
  c.centreU = static_cast<float>((1.0 - m * c.DuS) - c.decayU);
  c.centreV = static_cast<float>((1.0 - m * c.DvS) + c.bV);

  for (float x :
       {c.aU, c.bU, c.cU, c.decayU, c.aV, c.bV, c.cV, c.synUMax, c.synVMax, c.DuS, c.DvS, c.centreU, c.centreV}) {
    if (!Finite(x)) return std::nullopt;
  }
  return c;
}

int FieldSize(double typed) {
  const int n = static_cast<int>(std::nearbyint(typed - 1.0)) + 1;
  if (n > 128) return 128;
  if (n < 2) return 2;
  return n;
}

Field::Field(int cells_per_side, bool square) : n(cells_per_side) {
  const std::size_t length = static_cast<std::size_t>(square ? n * n + 1 : n + 1);
  U.assign(length, 0.0f);
  V.assign(length, 0.0f);
  U2.assign(length, 0.0f);
  V2.assign(length, 0.0f);
}

Fault Step1D(const Coefficients& c, Field& f) {
  const int N = f.n;
  std::vector<float>& U = f.U;
  std::vector<float>& V = f.V;
  std::vector<float>& U2 = f.U2;
  std::vector<float>& V2 = f.V2;
  const double DuS = c.DuS, DvS = c.DvS;

  for (int i = 0; i <= N - 1; ++i) {
    const double u = U[i], v = V[i];
    f.synU = static_cast<float>((u * c.aU + v * c.bU) + c.cU);
    if (Fault e = Check(f.synU); e != Fault::None) return e;
    f.synV = static_cast<float>(u * c.aV + c.cV);
    if (Fault e = Check(f.synV); e != Fault::None) return e;
    f.synU = ClampSynthesis(f.synU, c.synUMax);
    f.synV = ClampSynthesis(f.synV, c.synVMax);

    if (i == 0) {
      U2[0] = static_cast<float>((2.0 * DuS * U[1] + u * c.centreU) + f.synU);
      if (Fault e = Check(U2[0]); e != Fault::None) return e;
      V2[0] = static_cast<float>((2.0 * DvS * V[1] + v * c.centreV) + f.synV);
      if (Fault e = Check(V2[0]); e != Fault::None) return e;
    } else if (i == N - 1) {
      U2[i] = static_cast<float>((2.0 * DuS * U[N - 2] + u * c.centreU) + f.synU);
      if (Fault e = Check(U2[i]); e != Fault::None) return e;
      V2[i] = static_cast<float>((2.0 * DvS * V[N - 2] + v * c.centreV) + f.synV);
      if (Fault e = Check(V2[i]); e != Fault::None) return e;
    } else {
      const double right = U[i + 1], left = U[i - 1];
      U2[i] = static_cast<float>(((right + left) * DuS + u * c.centreU) + f.synU);
      if (Fault e = Check(U2[i]); e != Fault::None) return e;
      const double vRight = V[i + 1], vLeft = V[i - 1];
      V2[i] = static_cast<float>(((vRight + vLeft) * DvS + v * c.centreV) + f.synV);
      if (Fault e = Check(V2[i]); e != Fault::None) return e;
    }
  }

  for (int j = 0; j <= N - 1; ++j) {
    if (U2[j] < 0.0f) U2[j] = 0.0f;
    if (V2[j] < 0.0f) V2[j] = 0.0f;
    U[j] = U2[j];
    V[j] = V2[j];
  }
  return Fault::None;
}

namespace {

// The neighbour term of the cell in row i, column j of field F (side N), with
// the weight w of one neighbour. An outside neighbour is replaced by the one
// opposite it.
double NeighbourTerm(const std::vector<float>& F, int N, int i, int j, double w) {
  const int k = j + i * N;
  if (i == 0) {
    if (j == 0) {
      const double d = F[k + N], r = F[k + 1];
      return (d + r) * (w + w);
    }
    if (j == N - 1) {
      const double d = F[k + N], l = F[k - 1];
      return (d + l) * (w + w);
    }
    const double r = F[k + 1], l = F[k - 1], d = F[k + N];
    return ((r + l) + (d + d)) * w;
  }
  if (i == N - 1) {
    if (j == 0) {
      const double u = F[k - N], r = F[k + 1];
      return (u + r) * (w + w);
    }
    if (j == N - 1) {
      const double u = F[k - N], l = F[k - 1];
      return (u + l) * (w + w);
    }
    const double r = F[k + 1], l = F[k - 1], u = F[k - N];
    return ((r + l) + (u + u)) * w;
  }
  if (j == 0) {
    const double r = F[k + 1], u = F[k - N], d = F[k + N];
    return (((r + r) + u) + d) * w;
  }
  if (j == N - 1) {
    const double l = F[k - 1], u = F[k - N], d = F[k + N];
    return (((l + l) + u) + d) * w;
  }
  const double r = F[k + 1], l = F[k - 1], u = F[k - N], d = F[k + N];
  return (((r + l) + u) + d) * w;
}

}  // namespace

Fault Step2D(const Coefficients& c, Field& f, bool forward) {
  const std::vector<float>& S = forward ? f.U : f.U2;
  const std::vector<float>& T = forward ? f.V : f.V2;
  std::vector<float>& Sn = forward ? f.U2 : f.U;
  std::vector<float>& Tn = forward ? f.V2 : f.V;
  const int N = f.n;

  for (int i = 0; i <= N - 1; ++i) {
    for (int j = 0; j <= N - 1; ++j) {
      const int k = j + i * N;
      const double s = S[k], t = T[k];
      f.synU = static_cast<float>((t * c.bU + s * c.aU) + c.cU);
      if (Fault e = Check(f.synU); e != Fault::None) return e;
      f.synV = static_cast<float>(s * c.aV + c.cV);
      if (Fault e = Check(f.synV); e != Fault::None) return e;
      f.synU = ClampSynthesis(f.synU, c.synUMax);
      f.synV = ClampSynthesis(f.synV, c.synVMax);

      Sn[k] = static_cast<float>((NeighbourTerm(S, N, i, j, c.DuS) + s * c.centreU) + f.synU);
      if (Fault e = Check(Sn[k]); e != Fault::None) return e;
      Tn[k] = static_cast<float>((NeighbourTerm(T, N, i, j, c.DvS) + t * c.centreV) + f.synV);
      if (Fault e = Check(Tn[k]); e != Fault::None) return e;
      if (Sn[k] < 0.0f) Sn[k] = 0.0f;
      if (Tn[k] < 0.0f) Tn[k] = 0.0f;
    }
  }
  f.currentInU = !forward;
  return Fault::None;
}

}  // namespace reference

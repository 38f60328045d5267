#include <cstddef>

#include "core/cell_update.h"
#include "core/integrators.h"

namespace rdsim {

namespace {

using detail::Clamp;
using detail::StepWeights;
using detail::Store;

// The buffers of one step; S/T are read, So/To written.
struct Pairs {
  const float* S;
  const float* T;
  float* So;
  float* To;
};

// One cell, given its neighbour terms. Returns the clamped synthesis terms
// through synU/synV, as the scratch members want them after the step.
template <bool Checked>
inline void UpdateCell(const StepWeights& w, float s, float t, double nbU, double nbV, float& outS,
                       float& outT, float& synU, float& synV, bool& ok) {
  synU = Store<Checked>((t * w.bU + s * w.aU) + w.cU, ok);
  synV = Store<Checked>(s * w.aV + w.cV, ok);
  synU = Clamp(synU, w.synUMax);
  synV = Clamp(synV, w.synVMax);
  float newS = Store<Checked>((nbU + s * w.centreU) + synU, ok);
  float newT = Store<Checked>((nbV + t * w.centreV) + synV, ok);
  if (newS < 0.0f) newS = 0.0f;
  if (newT < 0.0f) newT = 0.0f;
  outS = newS;
  outT = newT;
}

enum class RowKind { First, Last, Inner };

// Neighbour term of a cell in the first or last column, or of any cell when the
// caller has no faster path. r, l: same row; u, d: rows above and below.
inline double NeighbourTerm(RowKind row, bool firstColumn, bool lastColumn, double r, double l, double u,
                            double d, double w) {
  switch (row) {
    case RowKind::First:
      if (firstColumn) return (d + r) * (w + w);
      if (lastColumn) return (d + l) * (w + w);
      return ((r + l) + (d + d)) * w;
    case RowKind::Last:
      if (firstColumn) return (u + r) * (w + w);
      if (lastColumn) return (u + l) * (w + w);
      return ((r + l) + (u + u)) * w;
    case RowKind::Inner:
      if (firstColumn) return (((r + r) + u) + d) * w;
      if (lastColumn) return (((l + l) + u) + d) * w;
      return (((r + l) + u) + d) * w;
  }
  return 0.0;
}

// One cell by the general rule; used for the first and last column and for
// the checked replay. Elements that the rule does not use are not read.
template <bool Checked>
inline void EdgeCell(const StepWeights& w, const Pairs& p, std::ptrdiff_t n, RowKind row, std::ptrdiff_t i,
                     std::ptrdiff_t j, float& synU, float& synV, bool& ok) {
  const std::ptrdiff_t k = j + i * n;
  const bool firstColumn = j == 0;
  const bool lastColumn = !firstColumn && j == n - 1;
  auto neighbours = [&](const float* f, double weight) {
    const double r = lastColumn ? 0.0 : f[k + 1];
    const double l = firstColumn ? 0.0 : f[k - 1];
    const double u = row == RowKind::First ? 0.0 : f[k - n];
    const double d = row == RowKind::Last ? 0.0 : f[k + n];
    return NeighbourTerm(row, firstColumn, lastColumn, r, l, u, d, weight);
  };
  UpdateCell<Checked>(w, p.S[k], p.T[k], neighbours(p.S, w.DuS), neighbours(p.T, w.DvS), p.So[k], p.To[k], synU,
                      synV, ok);
}

// Columns 1 .. n-2 of one row, written so that the compiler vectorises it;
// every lane does exactly the scalar operations, so no bit changes. In the
// first and last row up == down, the single inner row counted twice.
template <bool EdgeRow>
__attribute__((target_clones("avx2", "default"))) unsigned InteriorColumns(
    const StepWeights& w, const float* __restrict s, const float* __restrict t, const float* __restrict su,
    const float* __restrict sd, const float* __restrict tu, const float* __restrict td, float* __restrict so,
    float* __restrict to, std::ptrdiff_t n) {
  const double aU = w.aU, bU = w.bU, cU = w.cU, aV = w.aV, cV = w.cV;
  const double DuS = w.DuS, DvS = w.DvS, centreU = w.centreU, centreV = w.centreV;
  const float synUMax = w.synUMax, synVMax = w.synVMax;
  unsigned ok = 1;
  for (std::ptrdiff_t j = 1; j < n - 1; ++j) {
    const double S0 = s[j], T0 = t[j];
    float synU = static_cast<float>((T0 * bU + S0 * aU) + cU);
    float synV = static_cast<float>(S0 * aV + cV);
    ok &= static_cast<unsigned>(detail::IsFiniteSingle(synU) & detail::IsFiniteSingle(synV));
    synU = synU < 0.0f ? 0.0f : (synU > synUMax ? synUMax : synU);
    synV = synV < 0.0f ? 0.0f : (synV > synVMax ? synVMax : synV);
    double nbU, nbV;
    if constexpr (EdgeRow) {
      nbU = ((static_cast<double>(s[j + 1]) + s[j - 1]) + (static_cast<double>(su[j]) + sd[j])) * DuS;
      nbV = ((static_cast<double>(t[j + 1]) + t[j - 1]) + (static_cast<double>(tu[j]) + td[j])) * DvS;
    } else {
      nbU = (((static_cast<double>(s[j + 1]) + s[j - 1]) + su[j]) + sd[j]) * DuS;
      nbV = (((static_cast<double>(t[j + 1]) + t[j - 1]) + tu[j]) + td[j]) * DvS;
    }
    float newS = static_cast<float>((nbU + S0 * centreU) + synU);
    float newT = static_cast<float>((nbV + T0 * centreV) + synV);
    ok &= static_cast<unsigned>(detail::IsFiniteSingle(newS) & detail::IsFiniteSingle(newT));
    so[j] = newS < 0.0f ? 0.0f : newS;
    to[j] = newT < 0.0f ? 0.0f : newT;
  }
  return ok;
}

RowKind KindOfRow(std::ptrdiff_t i, std::ptrdiff_t n) {
  if (i == 0) return RowKind::First;
  if (i == n - 1) return RowKind::Last;
  return RowKind::Inner;
}

// The whole step in the given flavour. Returns false if the fast flavour met a
// non-finite value; the checked flavour raises instead.
template <bool Checked>
bool StepCells(const StepWeights& w, const Pairs& p, std::ptrdiff_t n, float& synU, float& synV) {
  bool ok = true;
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    const RowKind row = KindOfRow(i, n);
    if (Checked || n < 3) {
      for (std::ptrdiff_t j = 0; j < n; ++j) EdgeCell<Checked>(w, p, n, row, i, j, synU, synV, ok);
      continue;
    }
    EdgeCell<false>(w, p, n, row, i, 0, synU, synV, ok);
    const std::ptrdiff_t k = i * n;
    const std::ptrdiff_t up = row == RowKind::First ? k + n : k - n;
    const std::ptrdiff_t down = row == RowKind::Last ? k - n : k + n;
    const unsigned rowOk =
        row == RowKind::Inner
            ? InteriorColumns<false>(w, p.S + k, p.T + k, p.S + up, p.S + down, p.T + up, p.T + down, p.So + k,
                                     p.To + k, n)
            : InteriorColumns<true>(w, p.S + k, p.T + k, p.S + up, p.S + down, p.T + up, p.T + down, p.So + k,
                                    p.To + k, n);
    ok &= rowOk != 0;
    EdgeCell<false>(w, p, n, row, i, n - 1, synU, synV, ok);
  }
  return ok;
}

}  // namespace

void Step2D(Simulation& sim, Direction direction) {
  const bool forward = direction == Direction::Forward;
  FieldBuffers& b = sim.buffers;
  const Buffer& S = forward ? b.U : b.U2;
  const Buffer& T = forward ? b.V : b.V2;
  Buffer& So = forward ? b.U2 : b.U;
  Buffer& To = forward ? b.V2 : b.V;

  const std::ptrdiff_t n = sim.Nm1 >= 0 ? static_cast<std::ptrdiff_t>(sim.Nm1) + 1 : 0;
  if (n > 0) {
    // One cell reads the spare element as its neighbour; otherwise N*N cells.
    const auto needed = static_cast<std::size_t>(n == 1 ? 2 : n * n);
    if (S.size() < needed || T.size() < needed || So.size() < needed || To.size() < needed) {
      throw RunError(Fault::SubscriptOutOfRange, "the field buffers are shorter than the square of the field size");
    }
    const StepWeights w(sim.coef);
    const Pairs p{S.data(), T.data(), So.data(), To.data()};
    float synU = sim.synU, synV = sim.synV;
    if (!StepCells<false>(w, p, n, synU, synV)) {
      StepCells<true>(w, p, n, sim.synU, sim.synV);  // raises at the first faulty value
      throw RunError(Fault::InvalidFloatingPoint);
    }
    sim.synU = synU;
    sim.synV = synV;
  }
  sim.CurrentInU = !forward;
}

}  // namespace rdsim

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/cell_update.h"
#include "core/constants.h"
#include "core/integrators.h"

// Step2D in up to two passes. The fast pass widens each row of the pair read
// to double once, updates the inner columns eight cells at a time and the
// edge columns one by one, and only notes whether a stored value was not
// finite. If one was not, the checked replay goes over the cells again in the
// model's order and raises at the first failing check. Both do per cell
// exactly the model's operations, so they store the same bits.

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
inline void UpdateCell(const StepWeights& w, float s, float t, double nbU, double nbV, float& outS, float& outT,
                       float& synU, float& synV, bool& ok) {
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
inline double NeighbourTerm(RowKind row, bool firstColumn, bool lastColumn, double r, double l, double u, double d,
                            double w) {
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
  UpdateCell<Checked>(w, p.S[k], p.T[k], neighbours(p.S, w.DuS), neighbours(p.T, w.DvS), p.So[k], p.To[k], synU, synV,
                      ok);
}

// Eight cells of a row side by side. GCC lowers these vectors to what the
// target has: one AVX-512 register per double vector, two AVX2 or four SSE2
// ones, always with the same per-lane IEEE operations.
constexpr std::ptrdiff_t Lanes = 8;
using Floats = float __attribute__((vector_size(Lanes * sizeof(float))));
using Doubles = double __attribute__((vector_size(Lanes * sizeof(double))));
using FloatMask = std::int32_t __attribute__((vector_size(Lanes * sizeof(float))));

// The helpers below are always inlined into the row kernel, so the ABI of
// passing vectors by value, which differs between targets, never applies.
// (GCC reports it at the end of the file, so the pragma stays on to there.)
#pragma GCC diagnostic ignored "-Wpsabi"
#define RDSIM_LANE_HELPER [[gnu::always_inline]] inline

RDSIM_LANE_HELPER Doubles LoadLanes(const double* p) {
  Doubles x;
  std::memcpy(&x, p, sizeof x);
  return x;
}
RDSIM_LANE_HELPER void StoreLanes(float* p, const Floats& x) { std::memcpy(p, &x, sizeof x); }
RDSIM_LANE_HELPER Doubles Widen(const Floats& x) { return __builtin_convertvector(x, Doubles); }
// The one rounding of a stored value.
RDSIM_LANE_HELPER Floats Round(const Doubles& x) { return __builtin_convertvector(x, Floats); }
// x - x is 0 for a finite x and NaN for an infinite or NaN one.
RDSIM_LANE_HELPER FloatMask Finite(const Floats& x) { return x - x == 0.0f; }
RDSIM_LANE_HELPER Floats ClampSynthesis(const Floats& x, float top) {
  return x < 0.0f ? Floats{} : (x > top ? top : x);
}
RDSIM_LANE_HELPER Floats ClampAtZero(const Floats& x) { return x < 0.0f ? Floats{} : x; }

// One row of the pair read, widened to double, with the rows that stand in
// for its neighbours above and below (the same row at the top and bottom
// edge), and the row of the pair written.
struct Row {
  const double* s;
  const double* su;
  const double* sd;
  const double* t;
  const double* tu;
  const double* td;
  float* so;
  float* to;
};

// In the first and last row up == down, the single inner row counted twice.
template <bool EdgeRow>
RDSIM_LANE_HELPER Doubles NeighbourSum(const double* f, const double* up, const double* down, std::ptrdiff_t j) {
  const Doubles r = LoadLanes(f + j + 1), l = LoadLanes(f + j - 1);
  const Doubles u = LoadLanes(up + j), d = LoadLanes(down + j);
  if constexpr (EdgeRow) {
    return (r + l) + (u + d);
  } else {
    return ((r + l) + u) + d;
  }
}

// Cells j .. j+Lanes-1: per lane exactly the operations of UpdateCell.
// Returns the lanes whose stored values were all finite.
template <bool EdgeRow>
RDSIM_LANE_HELPER FloatMask CellBlock(const StepWeights& w, const Row& row, std::ptrdiff_t j) {
  const Doubles s = LoadLanes(row.s + j), t = LoadLanes(row.t + j);
  const Floats synU = Round((t * w.bU + s * w.aU) + w.cU);
  const Floats synV = Round(s * w.aV + w.cV);
  const Doubles nbU = NeighbourSum<EdgeRow>(row.s, row.su, row.sd, j) * w.DuS;
  const Doubles nbV = NeighbourSum<EdgeRow>(row.t, row.tu, row.td, j) * w.DvS;
  const Floats newS = Round((nbU + s * w.centreU) + Widen(ClampSynthesis(synU, w.synUMax)));
  const Floats newT = Round((nbV + t * w.centreV) + Widen(ClampSynthesis(synV, w.synVMax)));
  StoreLanes(row.so + j, ClampAtZero(newS));
  StoreLanes(row.to + j, ClampAtZero(newT));
  return Finite(synU) & Finite(synV) & Finite(newS) & Finite(newT);
}

// Tests build the engine once per target to check each copy on one machine.
#if !defined(RDSIM_ROW_KERNEL_ONLY)
#define RDSIM_ROW_KERNEL_TARGETS __attribute__((target_clones("avx512f", "avx2", "default")))
#elif RDSIM_ROW_KERNEL_ONLY == 512
#define RDSIM_ROW_KERNEL_TARGETS __attribute__((target("avx512f")))
#elif RDSIM_ROW_KERNEL_ONLY == 2
#define RDSIM_ROW_KERNEL_TARGETS __attribute__((target("avx2")))
#else
#define RDSIM_ROW_KERNEL_TARGETS
#endif

// Columns 1 .. n-2 of one row; needs n - 2 >= Lanes. The last block is moved
// back to end at column n-2: the cells it redoes read the same inputs and
// write the same values. Returns false if a stored value was not finite.
template <bool EdgeRow>
RDSIM_ROW_KERNEL_TARGETS bool InteriorColumns(const StepWeights& weights, const Row& cells, std::ptrdiff_t n) {
  // Local copies: the stores through float* cannot alias them.
  const StepWeights w = weights;
  const Row row = cells;
  const std::ptrdiff_t lastBlock = n - 1 - Lanes;
  FloatMask finite = ~FloatMask{};
  for (std::ptrdiff_t j = 1;; j += Lanes) {
    if (j > lastBlock) j = lastBlock;
    finite &= CellBlock<EdgeRow>(w, row, j);
    if (j == lastBlock) break;
  }
  for (std::ptrdiff_t lane = 0; lane < Lanes; ++lane) {
    if (!finite[lane]) return false;
  }
  return true;
}

// Exact: every float is a double.
RDSIM_ROW_KERNEL_TARGETS void WidenRow(const float* __restrict from, double* __restrict to, std::ptrdiff_t n) {
  for (std::ptrdiff_t j = 0; j < n; ++j) to[j] = from[j];
}

// Three consecutive rows of the pair read, widened to double once each;
// reading the floats directly would widen every value five times, as itself
// and as each of its four neighbours. Fits the largest field on the stack.
class WideRows {
 public:
  static constexpr std::ptrdiff_t MaxWidth = MaxFieldSize;

  WideRows(const Pairs& p, std::ptrdiff_t n) : p_(p), n_(n) {}

  // Widens row i of S and T into the slot of row i - 3, which is done with.
  void Widen(std::ptrdiff_t i) {
    const float* S = p_.S + i * n_;
    const float* T = p_.T + i * n_;
    double* s = s_[i % 3];
    double* t = t_[i % 3];
    WidenRow(S, s, n_);
    WidenRow(T, t, n_);
  }
  const double* S(std::ptrdiff_t i) const { return s_[i % 3]; }
  const double* T(std::ptrdiff_t i) const { return t_[i % 3]; }

 private:
  Pairs p_;
  std::ptrdiff_t n_;
  double s_[3][MaxWidth];
  double t_[3][MaxWidth];
};

RowKind KindOfRow(std::ptrdiff_t i, std::ptrdiff_t n) {
  if (i == 0) return RowKind::First;
  if (i == n - 1) return RowKind::Last;
  return RowKind::Inner;
}

// The whole step cell by cell by the general rule: the checked replay, and the
// fast pass of a field too small or too wide for the row kernel.
template <bool Checked>
bool StepCellByCell(const StepWeights& w, const Pairs& p, std::ptrdiff_t n, float& synU, float& synV) {
  bool ok = true;
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    const RowKind row = KindOfRow(i, n);
    for (std::ptrdiff_t j = 0; j < n; ++j) EdgeCell<Checked>(w, p, n, row, i, j, synU, synV, ok);
  }
  return ok;
}

// The fast pass: returns false if it met a non-finite value, which it does
// not name; the checked replay does.
bool StepFast(const StepWeights& w, const Pairs& p, std::ptrdiff_t n, float& synU, float& synV) {
  if (n - 2 < Lanes || n > WideRows::MaxWidth) return StepCellByCell<false>(w, p, n, synU, synV);
  bool ok = true;
  WideRows wide(p, n);
  wide.Widen(0);
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    if (i + 1 < n) wide.Widen(i + 1);
    const RowKind row = KindOfRow(i, n);
    EdgeCell<false>(w, p, n, row, i, 0, synU, synV, ok);
    const std::ptrdiff_t up = row == RowKind::First ? i + 1 : i - 1;
    const std::ptrdiff_t down = row == RowKind::Last ? i - 1 : i + 1;
    const Row cells{wide.S(i),  wide.S(up),   wide.S(down), wide.T(i),
                    wide.T(up), wide.T(down), p.So + i * n, p.To + i * n};
    ok &= row == RowKind::Inner ? InteriorColumns<false>(w, cells, n) : InteriorColumns<true>(w, cells, n);
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
    if (!StepFast(w, p, n, synU, synV)) {
      StepCellByCell<true>(w, p, n, sim.synU, sim.synV);  // raises at the first faulty value
      throw RunError(Fault::InvalidFloatingPoint);
    }
    sim.synU = synU;
    sim.synV = synV;
  }
  sim.CurrentInU = !forward;
}

}  // namespace rdsim

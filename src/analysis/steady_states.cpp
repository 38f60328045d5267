#include "analysis/steady_states.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/checked.h"

namespace rdsim::analysis {

namespace {

// The coefficients are single precision: results that agree to well within
// their rounding are taken as equal.
constexpr double Slack = 1e-7;
constexpr double SingularSlack = 1e-6;

constexpr SynthesisRegion Regions[] = {SynthesisRegion::Below, SynthesisRegion::Between, SynthesisRegion::Above};

// g . (u, v) <= h.
struct HalfPlane {
  double gu, gv, h;
};

bool Holds(const HalfPlane& p, double u, double v) {
  // Sized by the whole state, so that u = -1e-17 beside v = 5 counts as u = 0.
  const double scale = (std::abs(p.gu) + std::abs(p.gv)) * (std::abs(u) + std::abs(v)) + std::abs(p.h);
  return p.gu * u + p.gv * v - p.h <= Slack * scale;
}

// One synthesis term a u + b v + c and its limit.
struct Synthesis {
  double a, b, c, top;

  double At(double u, double v) const { return (a * u + b * v) + c; }
  double Size(double u, double v) const { return std::abs(a * u) + std::abs(b * v) + std::abs(c) + std::abs(top); }
  // The region as half-planes. A region the clamp never picks (Between under a
  // negative limit) returns false.
  bool Constraints(SynthesisRegion region, std::vector<HalfPlane>& out) const {
    switch (region) {
      case SynthesisRegion::Below: out.push_back({a, b, -c}); return true;
      case SynthesisRegion::Between:
        if (top < 0) return false;
        out.push_back({-a, -b, c});
        out.push_back({a, b, top - c});
        return true;
      case SynthesisRegion::Above: out.push_back({-a, -b, c - std::max(0.0, top)}); return true;
    }
    return false;
  }
};

const char* RegionWords(SynthesisRegion region) {
  switch (region) {
    case SynthesisRegion::Below: return "below 0";
    case SynthesisRegion::Between: return "between 0 and its limit";
    case SynthesisRegion::Above: return "above its limit";
  }
  return "";
}

// True when some point satisfies every half-plane. The set lies in the
// quadrant u, v >= 0 and so, if not empty, has a corner where two of the
// boundary lines meet.
bool Feasible(const std::vector<HalfPlane>& planes) {
  for (std::size_t i = 0; i < planes.size(); ++i) {
    for (std::size_t j = i + 1; j < planes.size(); ++j) {
      const HalfPlane& p = planes[i];
      const HalfPlane& q = planes[j];
      const double det = p.gu * q.gv - p.gv * q.gu;
      if (det == 0) continue;
      const double u = (p.h * q.gv - p.gv * q.h) / det;
      const double v = (p.gu * q.h - p.h * q.gu) / det;
      if (!std::isfinite(u) || !std::isfinite(v)) continue;
      if (std::all_of(planes.begin(), planes.end(), [&](const HalfPlane& r) { return Holds(r, u, v); })) return true;
    }
  }
  return false;
}

// One row r.u u + r.v v = r.rhs of the steady-state system, with the size of
// the coefficients it was summed from.
struct Row {
  double u, v, rhs, size;
  bool IsZero() const { return std::abs(u) + std::abs(v) <= SingularSlack * size; }
};

[[noreturn]] void NotIsolated(SynthesisRegion ru, SynthesisRegion rv) {
  throw RunError(Fault::DivisionByZero,
                 std::string("the uniform steady states are not isolated: with the activator synthesis ") +
                     RegionWords(ru) + " and the inhibitor synthesis " + RegionWords(rv) +
                     " a whole line or area of states is steady, and the linear analysis needs isolated states");
}

// A singular system in one region: a fault if its solutions (a line or the
// whole plane) reach into the region with u, v >= 0; otherwise no state here.
void CheckContinuum(const Row& ru, const Row& rv, std::vector<HalfPlane> planes, SynthesisRegion regionU,
                    SynthesisRegion regionV) {
  for (const Row* row : {&ru, &rv}) {
    if (row->IsZero()) {
      // 0 = rhs: either every point or none.
      if (std::abs(row->rhs) > SingularSlack * row->size) return;
      continue;
    }
    planes.push_back({row->u, row->v, row->rhs});
    planes.push_back({-row->u, -row->v, -row->rhs});
  }
  if (Feasible(planes)) NotIsolated(regionU, regionV);
}

SynthesisRegion Classify(const Synthesis& s, double u, double v, bool& onEdge, SynthesisRegion& other) {
  const double raw = s.At(u, v);
  const double tol = Slack * s.Size(u, v);
  const bool nearZero = std::abs(raw) <= tol;
  const bool nearTop = std::abs(raw - s.top) <= tol;
  const double snapped = nearZero ? 0.0 : nearTop ? s.top : raw;
  SynthesisRegion region = RegionOf(snapped, s.top);
  // A limit of 0 or less leaves no linear range: the term is constant.
  if (region == SynthesisRegion::Between && s.top <= 0) region = SynthesisRegion::Below;
  onEdge = nearZero || nearTop;
  const double step = std::max(tol, 1e-300);
  const SynthesisRegion lower = RegionOf(snapped - step, s.top);
  other = lower != region ? lower : RegionOf(snapped + step, s.top);
  return region;
}

}  // namespace

SynthesisRegion RegionOf(double synthesis, double top) {
  if (synthesis < 0) return SynthesisRegion::Below;
  if (synthesis > top) return SynthesisRegion::Above;
  return SynthesisRegion::Between;
}

std::vector<SteadyState> FindSteadyStates(const StepCoefficients& c) {
  const Synthesis synU{c.aU, c.bU, c.cU, c.synUMax};
  const Synthesis synV{c.aV, 0.0, c.cV, c.synVMax};
  const double decayU = c.decayU, selfV = c.bV;

  std::vector<SteadyState> states;
  for (const SynthesisRegion regionU : Regions) {
    for (const SynthesisRegion regionV : Regions) {
      std::vector<HalfPlane> planes{{-1, 0, 0}, {0, -1, 0}};
      if (!synU.Constraints(regionU, planes) || !synV.Constraints(regionV, planes)) continue;

      // decayU u = synU and -bV v = synV, with the clamped terms constant.
      const double a = regionU == SynthesisRegion::Between ? 1 : 0;
      const double b = regionV == SynthesisRegion::Between ? 1 : 0;
      const double topU = regionU == SynthesisRegion::Above ? synU.top : 0;
      const double topV = regionV == SynthesisRegion::Above ? synV.top : 0;
      const Row ru{a * synU.a - decayU, a * synU.b, -(a * synU.c + topU),
                   std::abs(decayU) + a * (std::abs(synU.a) + std::abs(synU.b))};
      const Row rv{b * synV.a, selfV, -(b * synV.c + topV), std::abs(selfV) + b * std::abs(synV.a)};

      const double det = ru.u * rv.v - ru.v * rv.u;
      const double detSize = std::abs(ru.u * rv.v) + std::abs(ru.v * rv.u);
      if (detSize == 0 || std::abs(det) <= SingularSlack * detSize) {
        CheckContinuum(ru, rv, planes, regionU, regionV);
        continue;
      }
      const double u = (ru.rhs * rv.v - ru.v * rv.rhs) / det;
      const double v = (ru.u * rv.rhs - ru.rhs * rv.u) / det;
      if (!std::isfinite(u) || !std::isfinite(v)) {
        throw RunError(Fault::Overflow, "a uniform steady state lies beyond the range of numbers");
      }
      if (!std::all_of(planes.begin(), planes.end(), [&](const HalfPlane& p) { return Holds(p, u, v); })) continue;

      SteadyState state;
      state.u = std::max(u, 0.0);
      state.v = std::max(v, 0.0);
      const bool seen = std::any_of(states.begin(), states.end(), [&](const SteadyState& s) {
        return std::abs(s.u - state.u) + std::abs(s.v - state.v) <= 1e-6 * (std::abs(s.u) + std::abs(s.v)) + 1e-12;
      });
      if (seen) continue;  // on the edge of two regions, found from both
      state.regionU = Classify(synU, state.u, state.v, state.onEdgeU, state.otherU);
      state.regionV = Classify(synV, state.u, state.v, state.onEdgeV, state.otherV);
      states.push_back(state);
    }
  }
  if (states.empty()) {
    throw RunError(Fault::InvalidFloatingPoint,
                   "the kinetics have no uniform steady state with u >= 0 and v >= 0, so there is nothing to "
                   "analyse");
  }
  std::sort(states.begin(), states.end(),
            [](const SteadyState& x, const SteadyState& y) { return x.u != y.u ? x.u < y.u : x.v < y.v; });
  return states;
}

}  // namespace rdsim::analysis

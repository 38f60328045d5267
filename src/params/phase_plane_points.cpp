#include "params/phase_plane_points.h"

#include <cmath>
#include <optional>

#include "core/checked.h"

namespace rdsim {

namespace {

constexpr double Step = 0.05;  // nullcline spacing in u; a double constant
constexpr double PanelScale = 200.0;
constexpr int NullclinePoints = 200;

// A value rounded to single precision, or nothing beyond its range.
std::optional<float> Single(double x) {
  const float f = static_cast<float>(x);
  if (!std::isfinite(f)) return std::nullopt;
  return f;
}

// v = -(slope * u + intercept) / weight at u = 0.05 i.
void AddNullcline(std::vector<PhasePoint>& points, double slope, float intercept, float weight, std::uint32_t color) {
  if (weight == 0.0f) return;
  for (int i = 1; i <= NullclinePoints; ++i) {
    const std::optional<float> t = Single(-(((slope * i) * Step) + intercept) / weight);
    if (!t) continue;
    const std::optional<float> y = Single(PanelScale * *t);
    if (!y) continue;
    points.push_back({static_cast<float>(10 * i), *y, color});
  }
}

}  // namespace

std::vector<PhasePoint> PhasePlanePoints(const StepCoefficients& c, float u0, float v0, float& synU, float& synV) {
  std::vector<PhasePoint> points;
  points.reserve(2 * NullclinePoints + PhasePathSteps);
  AddNullcline(points, static_cast<double>(c.aU) - c.decayU, c.cU, c.bU, ActivatorNullclineColor);
  AddNullcline(points, c.aV, c.cV, c.bV, InhibitorNullclineColor);

  float u = u0, v = v0;
  try {
    for (int step = 0; step < PhasePathSteps; ++step) {
      const float su = ToSingle(static_cast<double>(v) * c.bU + static_cast<double>(c.aU) * u + c.cU);
      const float sv = ToSingle(static_cast<double>(c.aV) * u + c.cV);
      synU = su < 0 ? 0.0f : (su > c.synUMax ? c.synUMax : su);
      synV = sv < 0 ? 0.0f : (sv > c.synVMax ? c.synVMax : sv);
      u = ToSingle((static_cast<double>(u) + synU) - static_cast<double>(c.decayU) * u);
      v = ToSingle(static_cast<double>(c.bV) * v + (static_cast<double>(synV) + v));
      if (u < 0) u = 0;
      if (v < 0) v = 0;
      const std::optional<float> x = Single(PanelScale * u), y = Single(PanelScale * v);
      if (!x || !y) break;  // off every panel from here on
      points.push_back({*x, *y, PathColor});
    }
  } catch (const RunError&) {
    // The path left single precision: it cannot be drawn further.
  }
  return points;
}

}  // namespace rdsim

#pragma once

#include <string>
#include <vector>

#include "analysis/linear_stability.h"

// What the dispersion plot of one steady state shows, worked out without a
// window: growth per step against wavelength, one dot per mode of the grid,
// the bands of growing wavelengths, the fastest mode, the axes' ranges,
// ticks and labels. The window only maps it onto pixels.

namespace rdsim {

enum class DotKind {
  Decays,
  Grows,             // with a real factor
  GrowsOscillating,  // with a complex pair
};

struct DispersionDot {
  int m = 0, n = -1;
  double wavelength = 0;  // cells; infinity for the uniform mode
  double growth = 0;      // per step: |largest factor| - 1
  DotKind kind = DotKind::Decays;
  bool onAxis = false;  // a mode along one side (n <= 0): the drawn curve runs through these
};

struct GrowthBand {
  GrowthKind kind = GrowthKind::StationaryPattern;
  double shortest = 0, longest = 0;  // cells; longest is infinity when the band reaches the uniform mode
};

struct AxisTick {
  double value = 0;
  std::string label;
};

struct DispersionCurve {
  std::vector<DispersionDot> dots;  // one per mode, in the report's order
  std::vector<std::size_t> curve;   // indices of the on-axis dots, longest wavelength first
  std::vector<GrowthBand> bands;    // one per kind of growth, fastest first
  bool hasFastest = false;
  std::size_t fastest = 0;   // index of the fastest-growing dot
  std::string fastestLabel;  // "fastest: 9.56 cells, +0.00245 per step"

  // The wavelength axis is logarithmic from the shortest to the longest finite
  // wavelength; the uniform mode sits in a column of its own beyond it.
  double shortestWavelength = 1, longestWavelength = 2;
  // The growth axis. Dots below `growthFloor` are drawn on it: a mode that
  // decays fast would squeeze the growing ones into a sliver.
  double growthFloor = -1, growthCeiling = 1;
  std::vector<AxisTick> wavelengthTicks, growthTicks;
  std::string wavelengthTitle = "wavelength in cells (log scale)";
  std::string growthTitle = "growth per step, %";
  std::string uniformLabel = "uniform";
};

DispersionCurve MakeDispersionCurve(const StateStability& state, int cells);

// "Stationary pattern: wavelength 9.56 cells grows fastest, x1.00245 per
// step (x11.5 per 1000 steps); growing band 4.52 to 19.5 cells."
std::string StabilityHeadline(const StateStability& state);
// "u = 4, v = 3 (activator synthesis linear, inhibitor synthesis linear)"
std::string SteadyStateLabel(const SteadyState& state);
// The state a reader most likely means: the first with both syntheses in
// their linear range (the textbook uniform state), else the first.
std::size_t PreferredState(const StabilityReport& report);

}  // namespace rdsim

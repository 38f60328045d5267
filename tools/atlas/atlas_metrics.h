#pragma once

#include <cstddef>
#include <string>

namespace rdsim::atlas {

// What the atlas says about the final activator of one grid point.
struct FieldMetrics {
  double mean = 0;
  double sd = 0;          // population standard deviation
  double aboveHalf = 0;   // fraction of cells above Umax/2
  int regions = 0;        // 4-connected regions of cells above Umax/2
  double change = 0;      // mean |u(t) - u(t-1)| per cell and step, over the last steps
  double spottiness = 0;  // 16 P A / B^2 of the pattern's minority phase (see below); 0 on a line
  double minority = 0;    // A / cells, the share of the minority phase; 0 on a line
};

// The classes, in the order of the sheet's legend.
enum class PatternClass { Uniform, IsolatedDots, Spots, Stripes, Moving, Fault };
// Every class, in that order.
inline constexpr PatternClass AllPatternClasses[] = {PatternClass::Uniform, PatternClass::IsolatedDots,
                                                     PatternClass::Spots,   PatternClass::Stripes,
                                                     PatternClass::Moving,  PatternClass::Fault};
const char* ClassName(PatternClass pattern);

// Thresholds of the classification, checked in this order after a fault:
//   moving   change >= MovingChange: still changing after K steps (a travelling
//            or oscillating field; a settling pattern changes far less);
//   uniform  sd < UniformSd;
//   spots    on a line, any other field (its peaks); on a square,
//            spottiness >= SpotsSpottiness;
//   isolated dots  such spots on a square whose minority phase covers less
//            than IsolatedDotsShare of it: one or a few dots that the noise
//            set off in a field that stayed uniform around them, not a
//            pattern with a wavelength;
//   stripes/labyrinth  the rest.
// Spottiness: the field is cut at the middle between its lowest and highest
// value; the rarer side (the minority phase) has A cells in P 4-connected
// pieces with B cell edges to the other side. Round spots (bright, or dark
// holes) give 0.65 to 1.1, a labyrinth or a field of short bars 0.3 to 0.56,
// long stripes tend to 0.
inline constexpr double MovingChange = 5e-4;
inline constexpr double UniformSd = 0.05;
inline constexpr double SpotsSpottiness = 0.6;
inline constexpr double IsolatedDotsShare = 0.05;

// `cells` values: a line of n, or an n x n square, row-major. `change` is
// passed through.
FieldMetrics MeasureField(const float* activator, int n, bool square, double change);

PatternClass Classify(const FieldMetrics& metrics, bool square);

// Mean of |a[i] - b[i]| over `cells` values.
double MeanAbsoluteDifference(const float* a, const float* b, std::size_t cells);

}  // namespace rdsim::atlas

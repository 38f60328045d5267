#pragma once

#include <vector>

namespace rdsim::analysis {

// The modes of a line of N cells whose ends mirror through the end cell:
// cos(pi m i / (N-1)), m = 0 .. N-1. A square's modes are products of two.
struct LineModes {
  int n = 0;
  // 2 cos(pi m / (N-1)): what a cell's two neighbours add up to, per unit of
  // its own amplitude, in the same mode.
  std::vector<double> neighbourSum;
  // (4 / dx^2) sin^2(pi m / (2 (N-1))): the eigenvalue of -Laplacian.
  std::vector<double> mu;
};

// Raises RunError for fewer than 2 cells or more than the field can hold.
LineModes ModesOfLine(int n);

// 2 (N-1) / sqrt(m^2 + n^2) cells (n < 0 on a line); infinity for m = n = 0.
double WavelengthInCells(int m, int n, int cells);

}  // namespace rdsim::analysis

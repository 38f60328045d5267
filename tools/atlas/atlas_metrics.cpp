#include "atlas/atlas_metrics.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/constants.h"

namespace rdsim::atlas {

namespace {

// Pieces of the cells marked true, 4-connected (2-connected on a line); edges
// do not wrap.
int CountPieces(const std::vector<char>& marked, int width, int height) {
  std::vector<char> seen(marked.size(), 0);
  std::vector<int> stack;
  int pieces = 0;
  for (std::size_t start = 0; start < marked.size(); ++start) {
    if (!marked[start] || seen[start]) continue;
    ++pieces;
    seen[start] = 1;
    stack.assign(1, static_cast<int>(start));
    while (!stack.empty()) {
      const int cell = stack.back();
      stack.pop_back();
      const int x = cell % width, y = cell / width;
      const int neighbours[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
      for (const auto& [nx, ny] : neighbours) {
        if (nx < 0 || nx >= width || ny < 0 || ny >= height) continue;
        const auto k = static_cast<std::size_t>(ny * width + nx);
        if (marked[k] && !seen[k]) {
          seen[k] = 1;
          stack.push_back(static_cast<int>(k));
        }
      }
    }
  }
  return pieces;
}

// Neighbour pairs that differ, each counted once.
long CountBoundary(const std::vector<char>& marked, int width, int height) {
  long edges = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const char here = marked[static_cast<std::size_t>(y * width + x)];
      if (x + 1 < width && here != marked[static_cast<std::size_t>(y * width + x + 1)]) ++edges;
      if (y + 1 < height && here != marked[static_cast<std::size_t>((y + 1) * width + x)]) ++edges;
    }
  }
  return edges;
}

// Sets the minority phase's share of the cells and returns its spottiness.
double Spottiness(const float* u, std::size_t cells, int width, int height, double& minority) {
  const auto [low, high] = std::minmax_element(u, u + cells);
  const double middle = (static_cast<double>(*low) + *high) / 2;
  std::vector<char> above(cells);
  std::size_t count = 0;
  for (std::size_t i = 0; i < cells; ++i) count += (above[i] = u[i] > middle);
  if (2 * count > cells) {
    for (char& a : above) a = !a;
    count = cells - count;
  }
  minority = static_cast<double>(count) / static_cast<double>(cells);
  const long boundary = CountBoundary(above, width, height);
  if (count == 0 || boundary == 0) return 0;
  const double pieces = CountPieces(above, width, height);
  return 16 * pieces * static_cast<double>(count) / (static_cast<double>(boundary) * boundary);
}

}  // namespace

const char* ClassName(PatternClass pattern) {
  switch (pattern) {
    case PatternClass::Uniform: return "uniform";
    case PatternClass::IsolatedDots: return "isolated dots";
    case PatternClass::Spots: return "spots";
    case PatternClass::Stripes: return "stripes/labyrinth";
    case PatternClass::Moving: return "moving";
    case PatternClass::Fault: return "fault";
  }
  return "fault";
}

double MeanAbsoluteDifference(const float* a, const float* b, std::size_t cells) {
  double sum = 0;
  for (std::size_t i = 0; i < cells; ++i) sum += std::fabs(static_cast<double>(a[i]) - b[i]);
  return cells == 0 ? 0 : sum / static_cast<double>(cells);
}

FieldMetrics MeasureField(const float* u, int n, bool square, double change) {
  FieldMetrics m;
  m.change = change;
  const int width = std::max(n, 0), height = square ? width : (width > 0 ? 1 : 0);
  const auto cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (cells == 0) return m;

  double sum = 0;
  for (std::size_t i = 0; i < cells; ++i) sum += u[i];
  m.mean = sum / static_cast<double>(cells);
  double squares = 0;
  for (std::size_t i = 0; i < cells; ++i) squares += (u[i] - m.mean) * (u[i] - m.mean);
  m.sd = std::sqrt(squares / static_cast<double>(cells));

  std::vector<char> above(cells);
  std::size_t count = 0;
  for (std::size_t i = 0; i < cells; ++i) count += (above[i] = u[i] > Umax / 2.0);
  m.aboveHalf = static_cast<double>(count) / static_cast<double>(cells);
  m.regions = CountPieces(above, width, height);
  if (square) m.spottiness = Spottiness(u, cells, width, height, m.minority);
  return m;
}

PatternClass Classify(const FieldMetrics& m, bool square) {
  if (m.change >= MovingChange) return PatternClass::Moving;
  if (m.sd < UniformSd) return PatternClass::Uniform;
  if (!square) return PatternClass::Spots;
  if (m.spottiness >= SpotsSpottiness)
    return m.minority < IsolatedDotsShare ? PatternClass::IsolatedDots : PatternClass::Spots;
  return PatternClass::Stripes;
}

}  // namespace rdsim::atlas

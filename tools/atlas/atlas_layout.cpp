#include "atlas/atlas_layout.h"

#include <algorithm>

namespace rdsim::atlas {

namespace {

// The largest tile side whose grid of `count` tiles, with `extra` pixels
// beside it, fits in `maxSide`; at least one pixel.
int Fit(int wanted, int count, int extra, int maxSide) {
  const int pitch = (maxSide - extra + TileGap) / std::max(count, 1);
  return std::clamp(pitch - 2 * FrameWidth - TileGap, 1, wanted);
}

}  // namespace

TileSize FitTiles(int n, bool square, int plotHeight, int columns, int rows, int extraX, int extraY, int maxSide) {
  n = std::max(n, 1);
  const int scale = std::max(1, (MinTileWidth + n - 1) / n);
  TileSize tile;
  tile.width = Fit(n * scale, columns, extraX, maxSide);
  if (square) {
    tile.width = tile.height = std::min(tile.width, Fit(n * scale, rows, extraY, maxSide));
    return tile;
  }
  const int height = Fit(2 * plotHeight + PlotGap, rows, extraY, maxSide);
  tile.plotHeight = std::max(1, (height - PlotGap) / 2);
  tile.height = 2 * tile.plotHeight + PlotGap;
  return tile;
}

}  // namespace rdsim::atlas

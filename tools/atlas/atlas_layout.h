#pragma once

namespace rdsim::atlas {

// The contact sheet's geometry that does not need a font.
inline constexpr int FrameWidth = 3;
inline constexpr int TileGap = 6;
inline constexpr int MinTileWidth = 96;  // small fields are enlarged by whole pixels
inline constexpr int PlotGap = 2;        // between the two plots of a line
// No side of a sheet grows past this: a 100 x 100 grid of the largest fields
// stays near 1 GB of memory. Tiles shrink to keep within it.
inline constexpr int MaxSheetSide = 16000;
// A text line of the title is wrapped or cut at this width, or at the width
// of the grid when that is wider.
inline constexpr int MinTitleWidth = 1000;

struct TileSize {
  int width = 0, height = 0;  // inside the frame
  int plotHeight = 0;         // of each of the two plots of a line
};

// The tiles of `columns` x `rows` fields of n cells (n x n on a square, a line
// of n shown as two plots of `plotHeight` otherwise): enlarged by whole pixels
// up to MinTileWidth, shrunk when the grid and the `extraX`/`extraY` pixels
// around it would pass `maxSide`.
TileSize FitTiles(int n, bool square, int plotHeight, int columns, int rows, int extraX, int extraY,
                  int maxSide = MaxSheetSide);

}  // namespace rdsim::atlas

// The shading of the whole grid as images ready for the renderer: one per tile (the
// renderer's textures have a largest side), each with its reduced levels (mipmaps), so
// that distant terrain does not shimmer. Free of GL.
#pragma once

#include <cstdint>
#include <vector>

// One run of grid points along an axis that one tile covers; neighbouring tiles share
// their edge point, so the surface between two points always finds both in one tile.
struct TileSpan {
  int first, count;
};
// The spans covering `points` grid points in tiles of at most `limit` points (limit >= 2).
std::vector<TileSpan> TileSpans(int points, int limit);

struct ReliefTile {
  int col0 = 0, row0 = 0;  // the grid point of the tile's first texel
  int cols = 0, rows = 0;  // texels of level 0
  // Level 0 first, each level half the last (rounded down, at least 1) and each texel the
  // mean of the 2 x 2 (or fewer at an odd edge) below it; `channels` bytes a texel.
  std::vector<std::vector<uint8_t>> levels;
};

struct ReliefImage {
  int channels = 1;  // 1: a shade that modulates; 3: the colour ramp times the shade
  int grid_cols = 0, grid_rows = 0;
  std::vector<ReliefTile> tiles;  // row by row of tiles, west to east
};

// Cuts `pixels` (grid_rows x grid_cols texels of `channels` bytes, row 0 north) into tiles
// of at most `limit` texels a side and makes their levels.
ReliefImage TileReliefImage(std::vector<uint8_t> pixels, int grid_cols, int grid_rows, int channels, int limit);
// The level below `level` (w x h texels of `channels` bytes): half the size, 2 x 2 means.
std::vector<uint8_t> HalveLevel(const std::vector<uint8_t>& level, int w, int h, int channels);

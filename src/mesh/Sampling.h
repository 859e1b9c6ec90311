// Reading heights off a grid handed in: the meshers, hierarchies and normals take the
// grid as an argument instead of reading the loaded one.
#pragma once

#include "Mesh.h"
#include "TerrainLoader.h"

namespace mesh {

// A grid point, for the whole-number, non-negative positions the meshers make: positions
// at or past the last row or column land on it.
inline Vertex GridVertex(const data& grid, int x, int z) {
  if (z >= grid.rows) z = grid.rows - 1;
  if (x >= grid.cols) x = grid.cols - 1;
  return Vertex{x, grid.values[z][x], z};
}

// The same for any position, truncated toward zero; there is no lower clamp.
Vertex SampleVertex(const data& grid, float x, float z);

// Whether `height` is the grid's NODATA value.
inline bool IsNoData(const data& grid, int height) { return grid.has_nodata && height == grid.nodata; }

// Whether any cell of the grid holds a height (is no NODATA cell).
bool HoldsHeights(const data& grid);

}  // namespace mesh

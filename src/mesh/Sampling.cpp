// Grid sampling.
#include "Sampling.h"

namespace mesh {

Vertex SampleVertex(const data& grid, float x, float z) {
  if (z >= grid.rows) z = grid.rows - 1;
  if (x >= grid.cols) x = grid.cols - 1;
  const int column = static_cast<int>(x);
  const int row = static_cast<int>(z);
  return Vertex{column, grid.values[row][column], row};
}

bool HoldsHeights(const data& grid) {
  for (int r = 0; r < grid.rows; ++r)
    for (int c = 0; c < grid.cols; ++c)
      if (!IsNoData(grid, grid.values[r][c])) return true;
  return false;
}

}  // namespace mesh

// The lowest and highest heights over blocks of the grid, block sides 16, 32, 64, ... grid
// steps: the vertical extent of the boxes a mesh that follows the screen measures
// distances to. A box takes the blocks of one side that it overlaps; boxes that nest and
// take blocks no larger as they shrink get ranges that nest too.
#pragma once

#include <memory>
#include <vector>

#include "ScreenTest.h"
#include "TerrainLoader.h"

namespace mesh {

class HeightBounds {
 public:
  static constexpr int kFinest = 16;

  // NODATA points count with the heights they hold.
  explicit HeightBounds(const data& grid);
  // The bounds of `grid`, kept for later builds (the grid told by its quick key).
  static std::shared_ptr<const HeightBounds> ForView(const data& grid);

  // The least and greatest height of the grid points in columns x0..x1, rows z0..z1 (cut
  // to the grid), widened to whole blocks of side at least `block` (rounded up to a power
  // of two, at least kFinest).
  void Range(int x0, int z0, int x1, int z1, int block, int& low, int& high) const;

 private:
  struct Level {
    int across = 0, down = 0;
    std::vector<int> low, high;  // row by row
  };
  int last_x_, last_z_;
  std::vector<Level> levels_;  // side kFinest << index
};

}  // namespace mesh

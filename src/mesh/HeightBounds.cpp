#include "HeightBounds.h"

#include <algorithm>
#include <climits>

#include "GridCache.h"

namespace mesh {

HeightBounds::HeightBounds(const data& grid) : last_x_(grid.cols - 1), last_z_(grid.rows - 1) {
  if (grid.rows <= 0 || grid.cols <= 0) return;
  Level first;
  first.across = (grid.cols + kFinest - 1) / kFinest;
  first.down = (grid.rows + kFinest - 1) / kFinest;
  first.low.assign(static_cast<size_t>(first.across) * first.down, INT_MAX);
  first.high.assign(first.low.size(), INT_MIN);
  for (int z = 0; z < grid.rows; ++z) {
    const int* row = grid.values[z];
    const size_t base = static_cast<size_t>(z / kFinest) * first.across;
    for (int bx = 0; bx < first.across; ++bx) {
      const int from = bx * kFinest, to = std::min(from + kFinest, grid.cols);
      const auto [lo, hi] = std::minmax_element(row + from, row + to);
      first.low[base + bx] = std::min(first.low[base + bx], *lo);
      first.high[base + bx] = std::max(first.high[base + bx], *hi);
    }
  }
  levels_.push_back(std::move(first));
  while (levels_.back().across > 1 || levels_.back().down > 1) {
    const Level& below = levels_.back();
    Level up;
    up.across = (below.across + 1) / 2;
    up.down = (below.down + 1) / 2;
    up.low.assign(static_cast<size_t>(up.across) * up.down, INT_MAX);
    up.high.assign(up.low.size(), INT_MIN);
    for (int j = 0; j < below.down; ++j)
      for (int i = 0; i < below.across; ++i) {
        const size_t from = static_cast<size_t>(j) * below.across + i, to = static_cast<size_t>(j / 2) * up.across + i / 2;
        up.low[to] = std::min(up.low[to], below.low[from]);
        up.high[to] = std::max(up.high[to], below.high[from]);
      }
    levels_.push_back(std::move(up));
  }
}

std::shared_ptr<const HeightBounds> HeightBounds::ForView(const data& grid) {
  static GridCache<HeightBounds> cache;
  return cache.GetQuick(grid, [&] { return std::make_shared<const HeightBounds>(grid); }, true);
}

void HeightBounds::Range(int x0, int z0, int x1, int z1, int block, int& low, int& high) const {
  low = INT_MAX;
  high = INT_MIN;
  x0 = std::max(x0, 0);
  z0 = std::max(z0, 0);
  x1 = std::min(x1, last_x_);
  z1 = std::min(z1, last_z_);
  if (levels_.empty() || x0 > x1 || z0 > z1) return;
  size_t index = 0;
  while ((kFinest << index) < block && index + 1 < levels_.size()) ++index;
  const Level& level = levels_[index];
  const int side = kFinest << index;
  for (int j = z0 / side; j <= z1 / side; ++j)
    for (int i = x0 / side; i <= x1 / side; ++i) {
      const size_t at = static_cast<size_t>(j) * level.across + i;
      low = std::min(low, level.low[at]);
      high = std::max(high, level.high[at]);
    }
}

}  // namespace mesh

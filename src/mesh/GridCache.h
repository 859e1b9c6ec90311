// What is worked out once per grid and kept for later builds while the grid's size and
// heights stay the same.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "TerrainLoader.h"

namespace mesh {

// A grid's size and a hash of its heights: a grid may be changed in place after
// loading, so its pointer says nothing.
struct GridKey {
  int rows = -1, cols = -1;
  uint64_t hash = 0;
  bool operator==(const GridKey&) const = default;
};

inline GridKey KeyOfGrid(const data& grid) {
  // Four independent lanes keep the multiplier busy.
  uint64_t lane[4] = {0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull, 0x27D4EB2F165667C5ull};
  constexpr uint64_t kPrime = 0x100000001B3ull;
  for (int z = 0; z < grid.rows; ++z) {
    const int* row = grid.values[z];
    int x = 0;
    for (; x + 4 <= grid.cols; x += 4)
      for (int i = 0; i < 4; ++i) lane[i] = (lane[i] ^ static_cast<uint32_t>(row[x + i])) * kPrime;
    for (; x < grid.cols; ++x) lane[0] = (lane[0] ^ static_cast<uint32_t>(row[x])) * kPrime;
    lane[1] = (lane[1] ^ static_cast<uint32_t>(z)) * kPrime;
  }
  return GridKey{grid.rows, grid.cols, lane[0] ^ (lane[1] << 1) ^ (lane[2] << 2) ^ (lane[3] << 3)};
}

// A grid told by where its heights lie, its size and a sample of about 64K heights: cheap
// enough to ask many times a second on any grid, but blind to most changes made in place.
struct QuickGridKey {
  const int* const* values = nullptr;
  int rows = -1, cols = -1;
  uint64_t sample = 0;
  bool operator==(const QuickGridKey&) const = default;
};

inline QuickGridKey QuickKeyOfGrid(const data& grid) {
  QuickGridKey key{grid.values, grid.rows, grid.cols, 0x9E3779B97F4A7C15ull};
  const int row_step = grid.rows / 256 + 1, col_step = grid.cols / 256 + 1;
  for (int z = 0; z < grid.rows; z += row_step)
    for (int x = 0; x < grid.cols; x += col_step)
      key.sample = (key.sample ^ static_cast<uint32_t>(grid.values[z][x])) * 0x100000001B3ull;
  return key;
}

// One T for the grid last asked about, shared by the mesh worker and the main thread. A build is
// made under the lock, so two threads asking at once make it once; the old grid's goes
// first, so the two are never held together. A build that throws leaves nothing kept.
template <class T>
class GridCache {
 public:
  template <class Make>
  std::shared_ptr<const T> Get(const data& grid, Make make) {
    const GridKey key = KeyOfGrid(grid);
    std::lock_guard<std::mutex> lock(mutex_);
    if (kept_ != nullptr && key_ == key) return kept_;
    kept_.reset();
    std::shared_ptr<const T> made = make();
    kept_ = made;
    key_ = key;
    quick_ = QuickKeyOfGrid(grid);
    return made;
  }

  // As Get, the grid told by its quick key once its T is made: for callers that ask for the
  // same grid's T many times a second and know it is not changed in place meanwhile. With
  // `make_it` false, null until a T is made for the grid.
  template <class Make>
  std::shared_ptr<const T> GetQuick(const data& grid, Make make, bool make_it) {
    {
      const QuickGridKey quick = QuickKeyOfGrid(grid);
      std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
      if (!lock.owns_lock() && !make_it) return nullptr;  // being made
      if (!lock.owns_lock()) lock.lock();
      if (kept_ != nullptr && quick_ == quick) return kept_;
      if (!make_it) return nullptr;
    }
    return Get(grid, make);
  }

 private:
  std::mutex mutex_;
  GridKey key_;
  QuickGridKey quick_;
  std::shared_ptr<const T> kept_;
};

}  // namespace mesh

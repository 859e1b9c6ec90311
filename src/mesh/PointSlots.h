// Which vertex record each grid point used by a mesh has: a table over the whole grid, or,
// for meshes that use few of a large grid's points, an open-addressed hash of the points
// used, so a build needs no grid-sized array.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

class PointSlots {
 public:
  static constexpr uint32_t kUnused = UINT32_MAX;

  PointSlots(size_t grid_points, bool sparse) : grid_points_(grid_points), sparse_(sparse) {
    if (!sparse_) {
      dense_.reset(new uint32_t[grid_points_]);
      Clear();
    } else {
      Grow(1 << 12);
    }
  }

  // The slot of grid point `at`, kUnused until set.
  uint32_t& operator[](size_t at) {
    if (!sparse_) return dense_[at];
    if (2 * (used_ + 1) > entries_.size()) Grow(2 * entries_.size());
    const size_t mask = entries_.size() - 1;
    for (size_t i = Hash(at) & mask;; i = (i + 1) & mask) {
      Entry& e = entries_[i];
      if (e.key == at + 1) return e.slot;
      if (e.key == 0) {
        e.key = at + 1;
        ++used_;
        return e.slot;
      }
    }
  }

  // Room for `points` points without growing.
  void Reserve(size_t points) {
    if (!sparse_) return;
    size_t size = entries_.size();
    while (size < 2 * points + 2) size *= 2;
    if (size > entries_.size()) Grow(size);
  }

  void Clear() {
    if (!sparse_) {
      std::memset(dense_.get(), 0xFF, grid_points_ * sizeof(uint32_t));
      return;
    }
    entries_.assign(1 << 12, Entry{});
    used_ = 0;
  }

 private:
  struct Entry {
    uint64_t key = 0;  // grid index + 1; 0 while free
    uint32_t slot = kUnused;
  };
  static size_t Hash(size_t at) { return static_cast<size_t>((at * 0x9E3779B97F4A7C15ull) >> 20); }
  void Grow(size_t size) {
    std::vector<Entry> old = std::move(entries_);
    entries_.assign(size, Entry{});
    used_ = 0;
    for (const Entry& e : old)
      if (e.key != 0) (*this)[e.key - 1] = e.slot;
  }

  size_t grid_points_;
  bool sparse_;
  std::unique_ptr<uint32_t[]> dense_;
  std::vector<Entry> entries_;  // a power of two long, at most half full
  size_t used_ = 0;
};

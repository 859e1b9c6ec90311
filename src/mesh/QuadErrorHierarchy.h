// The errors behind quad subdivision under a strict bound, worked out once per grid.
//
// The tree: a square of 2^depth grid steps from (0, 0), the smallest that holds the grid,
// split into four again and again down to single cells. A quad at `level` is 2^(depth -
// level) steps wide; quad (i, j) there starts at column i * side and row j * side. Only
// quads that reach into the grid are kept; one that reaches past the last column or row
// straddles the grid's edge and is always split, so no drawn quad leaves the grid.
//
// A quad that is wholly inside is drawn either cut along its a-c diagonal or, beside a finer
// neighbour, as a fan from its centre through its corners and the midpoints of the finer
// sides. Its own error is the largest departure of any grid point in it from any of those
// triangles; its hierarchy error is the largest of that and its children's, so a quad within
// a bound has every quad below it within the bound too, and splitting it to close a crack
// never breaks the bound. Errors are kept rounded up to whole units: for a whole-number
// bound b, an error e > b exactly when ceil(e) > b.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "TerrainLoader.h"

namespace mesh {

class QuadErrorHierarchy {
 public:
  // The hierarchy of `grid` as it is now: made on first use and kept for later builds of
  // the same grid (same size and heights), on any thread. `poll` is called now and then
  // while one is made and may throw to give up; nothing is kept then.
  static std::shared_ptr<const QuadErrorHierarchy> Of(const data& grid, const std::function<void()>& poll);
  // The same, the grid told by its quick key (GridCache::GetQuick); with `make_it` false,
  // null until the hierarchy is made.
  static std::shared_ptr<const QuadErrorHierarchy> ForView(const data& grid, const std::function<void()>& poll,
                                                           bool make_it);

  // Makes the hierarchy of `grid`.
  QuadErrorHierarchy(const data& grid, const std::function<void()>& poll);

  // The level of single cells; the whole square is level 0.
  int Depth() const { return depth_; }
  int Side(int level) const { return 1 << (depth_ - level); }
  // How many quads of `level` reach into the grid along a row and along a column. Zero
  // for a grid of one row or one column, which has no area to cover.
  int Across(int level) const { return across_[static_cast<size_t>(level)]; }
  int Down(int level) const { return down_[static_cast<size_t>(level)]; }
  bool Straddles(int level, int i, int j) const {
    const int side = Side(level);
    return (i + 1) * side > last_x_ || (j + 1) * side > last_z_;
  }
  // The hierarchy error of quad (i, j) of `level`, rounded up; 0 for single cells.
  int64_t Error(int level, int i, int j) const {
    return level >= depth_ ? 0 : error_[static_cast<size_t>(level)][static_cast<size_t>(j) * Across(level) + i];
  }
  // The largest hierarchy error of any quad: no bound at or above it splits a quad for error.
  int64_t Largest() const { return largest_; }

 private:
  int Count(int last, int level) const {
    const int side = Side(level);
    return (last + side - 1) / side;
  }

  int last_x_, last_z_;  // the last column and row: the grid's size in steps
  int depth_;
  std::vector<int> across_, down_;           // per level, cells included
  std::vector<std::vector<int64_t>> error_;  // levels 0 to depth - 1, row by row
  int64_t largest_ = 0;
};

}  // namespace mesh

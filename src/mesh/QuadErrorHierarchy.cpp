#include "QuadErrorHierarchy.h"

#include <algorithm>
#include <cstdlib>
#include <type_traits>

#include "GridCache.h"

namespace mesh {

namespace {

// A triangle's surface times the quad's side, over the quad's own columns x and rows r:
// side * height(x, r) = base + gx * x + gz * r. With the corners on grid points and a side
// of 2^shift every figure is a whole number, so the deviations below are exact.
struct Plane {
  int64_t base, gx, gz;
};

// The largest |side * height - plane| over columns lo..hi of the row r of a quad whose
// first column `row` points at. `Wide` holds every figure of the quad: 32 bits suffice on
// most grids (and let the loop run four columns at a time), 64 bits on every grid.
template <class Wide>
inline uint64_t RowDeviation(const int* row, int lo, int hi, int shift, const Plane& p, int r) {
  using Unsigned = std::make_unsigned_t<Wide>;
  Wide v = static_cast<Wide>(p.base + p.gz * r + p.gx * lo);
  const Wide step = static_cast<Wide>(p.gx);
  Unsigned largest = 0;
  for (int x = lo; x <= hi; ++x) {
    const Wide d = static_cast<Wide>(row[x]) * (Wide{1} << shift) - v;
    const Unsigned a = d < 0 ? Unsigned{0} - static_cast<Unsigned>(d) : static_cast<Unsigned>(d);
    largest = a > largest ? a : largest;
    v += step;
  }
  return largest;
}

// Deviations of one quad's triangles, times its side: the a-c cut, the b-d cut (the two
// halves a fan of the parent quad uses where this quad is its child 2 or 4), and the four
// triangles from the centre to two neighbouring corners.
struct Deviations {
  uint64_t diagonal = 0, anti_diagonal = 0, fan = 0;
};

// A quad two cells wide holds nine points: corners, side midpoints and centre. Whichever of
// the midpoints and the centre a triangle of it does not have as a corner lies on one of its
// edges, where the surface is the mean of the edge's ends.
Deviations MeasurePair(const data& grid, int x0, int z0) {
  const int* top = grid.values[z0] + x0;
  const int* middle = grid.values[z0 + 1] + x0;
  const int* bottom = grid.values[z0 + 2] + x0;
  auto off = [](int64_t m, int64_t p, int64_t q) { return static_cast<uint64_t>(std::llabs(2 * m - p - q)); };
  const int64_t h0 = top[0], h1 = top[2], h2 = bottom[2], h3 = bottom[0], hc = middle[1];
  Deviations d;
  d.fan = std::max({off(top[1], h0, h1), off(middle[2], h1, h2), off(bottom[1], h2, h3), off(middle[0], h3, h0)});
  d.diagonal = std::max(d.fan, off(hc, h0, h2));
  d.anti_diagonal = std::max(d.fan, off(hc, h1, h3));
  return d;
}

template <class Wide>
Deviations Measure(const data& grid, int x0, int z0, int shift, bool anti_diagonal) {
  const int w = 1 << shift;
  const int half = w / 2;
  auto height = [&](int x, int z) { return static_cast<int64_t>(grid.values[z0 + z][x0 + x]); };
  const int64_t h0 = height(0, 0), h1 = height(w, 0), h2 = height(w, w), h3 = height(0, w);
  const int64_t hc = height(half, half);
  const Plane abc{w * h0, h1 - h0, h2 - h1}, acd{w * h0, h2 - h3, h3 - h0};
  const Plane abd{w * h0, h1 - h0, h3 - h0}, bcd{w * (h1 + h3 - h2), h2 - h3, h2 - h1};
  const Plane top{w * h0, h1 - h0, 2 * hc - h0 - h1}, bottom{w * (2 * hc - h2), h2 - h3, h2 + h3 - 2 * hc};
  const Plane left{w * h0, 2 * hc - h0 - h3, h3 - h0}, right{w * (2 * hc - h2), h1 + h2 - 2 * hc, h2 - h1};
  Deviations d;
  for (int r = 0; r <= w; ++r) {
    const int* row = grid.values[z0 + r] + x0;
    d.diagonal = std::max({d.diagonal, RowDeviation<Wide>(row, r, w, shift, abc, r),
                           RowDeviation<Wide>(row, 0, r, shift, acd, r)});
    if (anti_diagonal)
      d.anti_diagonal = std::max({d.anti_diagonal, RowDeviation<Wide>(row, 0, w - r, shift, abd, r),
                                  RowDeviation<Wide>(row, w - r, w, shift, bcd, r)});
    const int in = std::min(r, w - r);  // the left and right triangles reach this far in
    const uint64_t middle = r <= half ? RowDeviation<Wide>(row, r, w - r, shift, top, r)
                                      : RowDeviation<Wide>(row, w - r, r, shift, bottom, r);
    d.fan = std::max({d.fan, middle, RowDeviation<Wide>(row, 0, in, shift, left, r),
                      RowDeviation<Wide>(row, w - in, w, shift, right, r)});
  }
  return d;
}

int64_t RoundUp(uint64_t deviation, int shift) {
  return static_cast<int64_t>((deviation + (uint64_t{1} << shift) - 1) >> shift);
}

}  // namespace

QuadErrorHierarchy::QuadErrorHierarchy(const data& grid, const std::function<void()>& poll)
    : last_x_(std::max(grid.cols - 1, 0)), last_z_(std::max(grid.rows - 1, 0)), depth_(0) {
  while ((1 << depth_) < std::max(last_x_, last_z_)) ++depth_;
  for (int level = 0; level <= depth_; ++level) {
    across_.push_back(Count(last_x_, level));
    down_.push_back(Count(last_z_, level));
  }
  error_.resize(static_cast<size_t>(depth_));
  int64_t tallest = 0;  // the largest height from zero, either way
  for (int z = 0; z < grid.rows; ++z)
    for (int x = 0; x < grid.cols; ++x)
      tallest = std::max(tallest, std::abs(static_cast<int64_t>(grid.values[z][x])));
  // The b-d deviations of the level below, rounded up; the parents' fans use them.
  std::vector<int64_t> anti_below, anti;
  for (int level = depth_ - 1; level >= 0; --level) {
    const int shift = depth_ - level, across = Across(level), down = Down(level);
    // Every figure of a quad lies within 4 * side * tallest; 32 bits hold it with room.
    const bool narrow = (int64_t{1} << shift) * tallest < (int64_t{1} << 28);
    const bool cells_below = level + 1 == depth_;
    const int across_below = cells_below ? 0 : Across(level + 1);
    auto anti_of_child = [&](int i, int j) {
      return cells_below ? int64_t{0} : anti_below[static_cast<size_t>(j) * across_below + i];
    };
    std::vector<int64_t>& error = error_[static_cast<size_t>(level)];
    error.assign(static_cast<size_t>(across) * down, 0);
    anti.assign(error.size(), 0);
    for (int j = 0; j < down; ++j) {
      poll();
      for (int i = 0; i < across; ++i) {
        const size_t at = static_cast<size_t>(j) * across + i;
        int64_t e = 0;
        // Children that reach into the grid; a quad inside has all four.
        for (int c = 0; c < 4; ++c) {
          const int ci = 2 * i + (c & 1), cj = 2 * j + (c >> 1);
          if (ci < Across(level + 1) && cj < Down(level + 1)) e = std::max(e, Error(level + 1, ci, cj));
        }
        if (!Straddles(level, i, j)) {
          const int x0 = i << shift, z0 = j << shift;
          const bool anti_diagonal = ((i + j) & 1) != 0;
          const Deviations d = shift == 1 ? MeasurePair(grid, x0, z0)
                               : narrow   ? Measure<int32_t>(grid, x0, z0, shift, anti_diagonal)
                                          : Measure<int64_t>(grid, x0, z0, shift, anti_diagonal);
          anti[at] = RoundUp(d.anti_diagonal, shift);
          // The fan's triangles from the centre to a corner and a side's midpoint are the
          // a-c halves of children 1 and 3, in their errors already, and the b-d halves of
          // children 2 and 4.
          e = std::max({e, RoundUp(d.diagonal, shift), RoundUp(d.fan, shift), anti_of_child(2 * i + 1, 2 * j),
                        anti_of_child(2 * i, 2 * j + 1)});
        }
        error[at] = e;
        largest_ = std::max(largest_, e);
      }
    }
    anti_below.swap(anti);
  }
}

namespace {

GridCache<QuadErrorHierarchy>& Cache() {
  static GridCache<QuadErrorHierarchy> cache;
  return cache;
}

}  // namespace

std::shared_ptr<const QuadErrorHierarchy> QuadErrorHierarchy::Of(const data& grid, const std::function<void()>& poll) {
  return Cache().Get(grid, [&] { return std::make_shared<const QuadErrorHierarchy>(grid, poll); });
}

std::shared_ptr<const QuadErrorHierarchy> QuadErrorHierarchy::ForView(const data& grid,
                                                                      const std::function<void()>& poll,
                                                                      bool make_it) {
  return Cache().GetQuick(grid, [&] { return std::make_shared<const QuadErrorHierarchy>(grid, poll); }, make_it);
}

}  // namespace mesh

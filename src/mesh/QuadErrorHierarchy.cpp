#include "QuadErrorHierarchy.h"

#include <algorithm>
#include <cstdlib>
#include <type_traits>

#include "GridCache.h"
#include "WideVectors.h"
#include "ParallelIndices.h"

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
// most grids (and let the loop run on vectors), 64 bits on every grid.
template <class Wide>
[[gnu::always_inline]] inline uint64_t RowDeviationLoop(const int* row, int lo, int hi, int shift, const Plane& p,
                                                        int r) {
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

#if defined(__x86_64__) || defined(__i386__)
// Eight columns at a time where the processor has them.
[[gnu::target("avx2")]] uint64_t RowDeviationWide(const int* row, int lo, int hi, int shift, const Plane& p, int r) {
  return RowDeviationLoop<int32_t>(row, lo, hi, shift, p, r);
}
#else
uint64_t RowDeviationWide(const int* row, int lo, int hi, int shift, const Plane& p, int r) {
  return RowDeviationLoop<int32_t>(row, lo, hi, shift, p, r);
}
#endif

// Deviations of one quad's triangles, times its side: the a-c cut, the b-d cut (the two
// halves a fan of the parent quad uses where this quad is its child 2 or 4), and the four
// triangles from the centre to two neighbouring corners.
struct Deviations {
  uint64_t diagonal = 0, anti_diagonal = 0, fan = 0;

  void Widen(const Deviations& o) {
    diagonal = std::max(diagonal, o.diagonal);
    anti_diagonal = std::max(anti_diagonal, o.anti_diagonal);
    fan = std::max(fan, o.fan);
  }
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

// The planes of a quad's triangles: the a-c cut, the b-d cut and the fan's four.
struct QuadPlanes {
  Plane abc, acd, abd, bcd, top, bottom, left, right;
  bool anti_diagonal;  // whether the b-d cut is wanted
};

QuadPlanes PlanesOf(const data& grid, int x0, int z0, int shift, bool anti_diagonal) {
  const int w = 1 << shift;
  const int half = w / 2;
  auto height = [&](int x, int z) { return static_cast<int64_t>(grid.values[z0 + z][x0 + x]); };
  const int64_t h0 = height(0, 0), h1 = height(w, 0), h2 = height(w, w), h3 = height(0, w);
  const int64_t hc = height(half, half);
  return {{w * h0, h1 - h0, h2 - h1},
          {w * h0, h2 - h3, h3 - h0},
          {w * h0, h1 - h0, h3 - h0},
          {w * (h1 + h3 - h2), h2 - h3, h2 - h1},
          {w * h0, h1 - h0, 2 * hc - h0 - h1},
          {w * (2 * hc - h2), h2 - h3, h2 + h3 - 2 * hc},
          {w * h0, 2 * hc - h0 - h3, h3 - h0},
          {w * (2 * hc - h2), h1 + h2 - 2 * hc, h2 - h1},
          anti_diagonal};
}

// Widens a quad's deviations over its row r, which `row` points at the start of.
template <class Deviation>
void MeasureRow(const int* row, int shift, const QuadPlanes& q, int r, Deviation deviation, Deviations& d) {
  const int w = 1 << shift, half = w / 2;
  d.diagonal = std::max({d.diagonal, deviation(row, r, w, q.abc), deviation(row, 0, r, q.acd)});
  if (q.anti_diagonal)
    d.anti_diagonal =
        std::max({d.anti_diagonal, deviation(row, 0, w - r, q.abd), deviation(row, w - r, w, q.bcd)});
  const int in = std::min(r, w - r);  // the left and right triangles reach this far in
  const uint64_t middle = r <= half ? deviation(row, r, w - r, q.top) : deviation(row, w - r, r, q.bottom);
  d.fan = std::max({d.fan, middle, deviation(row, 0, in, q.left), deviation(row, w - in, w, q.right)});
}

int64_t RoundUp(uint64_t deviation, int shift) {
  return static_cast<int64_t>((deviation + (uint64_t{1} << shift) - 1) >> shift);
}

}  // namespace

QuadErrorHierarchy::QuadErrorHierarchy(const data& grid, const std::function<void()>& poll, int threads)
    : last_x_(std::max(grid.cols - 1, 0)), last_z_(std::max(grid.rows - 1, 0)), depth_(0) {
  while ((1 << depth_) < std::max(last_x_, last_z_)) ++depth_;
  for (int level = 0; level <= depth_; ++level) {
    across_.push_back(Count(last_x_, level));
    down_.push_back(Count(last_z_, level));
  }
  error_.resize(static_cast<size_t>(depth_));
  if (depth_ == 0) return;
  if (threads <= 0) threads = BuildThreads(static_cast<long long>(grid.rows) * grid.cols);
  // The largest height from zero, either way.
  std::vector<int64_t> row_tallest(static_cast<size_t>(grid.rows), 0);
  ForEachIndex(grid.rows, threads, poll, [&](int z) {
    int64_t most = 0;
    for (int x = 0; x < grid.cols; ++x) most = std::max(most, std::abs(static_cast<int64_t>(grid.values[z][x])));
    row_tallest[static_cast<size_t>(z)] = most;
  });
  const int64_t tallest = *std::max_element(row_tallest.begin(), row_tallest.end());
  const bool wide = HasWideVectors();
  // The b-d deviations of the level below, rounded up; the parents' fans use them.
  std::vector<int64_t> anti_below, anti;
  for (int level = depth_ - 1; level >= 0; --level) {
    const int shift = depth_ - level, across = Across(level), down = Down(level);
    // Every figure of a quad lies within 4 * side * tallest; 32 bits hold it with room.
    const bool narrow = (int64_t{1} << shift) * tallest < (int64_t{1} << 28);
    auto deviation = [narrow, wide, shift](const int* row, int lo, int hi, const Plane& p, int r) -> uint64_t {
      if (!narrow) return RowDeviationLoop<int64_t>(row, lo, hi, shift, p, r);
      return wide && hi - lo >= 8 ? RowDeviationWide(row, lo, hi, shift, p, r)
                                  : RowDeviationLoop<int32_t>(row, lo, hi, shift, p, r);
    };
    const bool cells_below = level + 1 == depth_;
    const int across_below = cells_below ? 0 : Across(level + 1);
    auto anti_of_child = [&](int i, int j) {
      return cells_below ? int64_t{0} : anti_below[static_cast<size_t>(j) * across_below + i];
    };
    std::vector<int64_t>& error = error_[static_cast<size_t>(level)];
    error.assign(static_cast<size_t>(across) * down, 0);
    anti.assign(error.size(), 0);
    // Row j's quads: their planes, and their deviations over rows [r_lo, r_hi] of grid
    // points, row by row across all of them.
    auto plan = [&](int j) {
      std::vector<QuadPlanes> planes(static_cast<size_t>(across));
      for (int i = 0; i < across; ++i)
        if (!Straddles(level, i, j))
          planes[static_cast<size_t>(i)] = PlanesOf(grid, i << shift, j << shift, shift, ((i + j) & 1) != 0);
      return planes;
    };
    auto sweep = [&](int j, const std::vector<QuadPlanes>& planes, int r_lo, int r_hi, Deviations* out) {
      const int z0 = j << shift;
      if (shift == 1) {
        for (int i = 0; i < across; ++i)
          if (!Straddles(level, i, j)) out[i] = MeasurePair(grid, i << shift, z0);
        return;
      }
      // Rows past the grid belong to straddling quads only.
      for (int r = r_lo; r <= r_hi && z0 + r <= last_z_; ++r) {
        const int* row = grid.values[z0 + r];
        for (int i = 0; i < across; ++i)
          if (!Straddles(level, i, j))
            MeasureRow(row + (i << shift), shift, planes[static_cast<size_t>(i)], r,
                       [&](const int* at, int lo, int hi, const Plane& p) { return deviation(at, lo, hi, p, r); },
                       out[i]);
      }
    };
    std::vector<int64_t> row_largest(static_cast<size_t>(down), 0);
    auto fold = [&](int j, const Deviations* measured) {
      for (int i = 0; i < across; ++i) {
        const size_t at = static_cast<size_t>(j) * across + i;
        int64_t e = 0;
        // Children that reach into the grid; a quad inside has all four.
        for (int c = 0; c < 4; ++c) {
          const int ci = 2 * i + (c & 1), cj = 2 * j + (c >> 1);
          if (ci < Across(level + 1) && cj < Down(level + 1)) e = std::max(e, Error(level + 1, ci, cj));
        }
        if (!Straddles(level, i, j)) {
          const Deviations& d = measured[i];
          anti[at] = RoundUp(d.anti_diagonal, shift);
          // The fan's triangles from the centre to a corner and a side's midpoint are the
          // a-c halves of children 1 and 3, in their errors already, and the b-d halves of
          // children 2 and 4.
          e = std::max({e, RoundUp(d.diagonal, shift), RoundUp(d.fan, shift), anti_of_child(2 * i + 1, 2 * j),
                        anti_of_child(2 * i, 2 * j + 1)});
        }
        error[at] = e;
        row_largest[static_cast<size_t>(j)] = std::max(row_largest[static_cast<size_t>(j)], e);
      }
    };
    const int side = 1 << shift;
    if (threads > 1 && down < 4 * threads && shift > 1) {
      // Few rows of big quads: the threads share each row's sweep by bands of grid rows.
      for (int j = 0; j < down; ++j) {
        const std::vector<QuadPlanes> planes = plan(j);
        const int bands = std::min(side + 1, 4 * threads);
        std::vector<Deviations> measured(static_cast<size_t>(bands) * across);
        ForEachIndex(bands, threads, poll, [&](int band) {
          const int r_lo = band * (side + 1) / bands, r_hi = (band + 1) * (side + 1) / bands - 1;
          sweep(j, planes, r_lo, r_hi, measured.data() + band * across);
        });
        for (int band = 1; band < bands; ++band)
          for (int i = 0; i < across; ++i) measured[i].Widen(measured[band * across + i]);
        fold(j, measured.data());
      }
    } else {
      // Rows of quads on their own.
      ForEachIndex(down, threads, poll, [&](int j) {
        std::vector<Deviations> measured(static_cast<size_t>(across));
        sweep(j, shift == 1 ? std::vector<QuadPlanes>() : plan(j), 0, side, measured.data());
        fold(j, measured.data());
      });
    }
    for (const int64_t e : row_largest) largest_ = std::max(largest_, e);
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

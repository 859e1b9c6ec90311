#include "TriangleErrorHierarchy.h"

#include <cstdlib>

#include "GridCache.h"

namespace mesh {

namespace {

// Plane values are kept times the leg length s, so that every figure is a whole number:
// a point departs from the plane by |s * h - plane| / s.
struct Plane {
  long long at_origin;  // s * height at (x0, z0)
  long long per_x, per_z;
};

// The largest |s * h[u] - (first + per_x * (u - lo))| over u in [lo, hi], s = 2^shift,
// in the narrowest type that holds every figure, so that the loop runs on vectors.
template <class T>
long long RowWorst(const int* h, int lo, int hi, int shift, long long first, long long per_x) {
  const T start = static_cast<T>(first), step = static_cast<T>(per_x);
  T most = 0;
  const int n = hi - lo;
  h += lo;
  for (int i = 0; i <= n; ++i) {
    T d = static_cast<T>(static_cast<T>(h[i]) << shift) - static_cast<T>(start + step * i);
    d = d < 0 ? -d : d;
    most = d > most ? d : most;
  }
  return most;
}

class Rasteriser {
 public:
  Rasteriser(int* const* values, int x0, int z0, int s, bool narrow)
      : values_(values), x0_(x0), z0_(z0), s_(s), narrow_(narrow) {
    while ((1 << shift_) < s) ++shift_;
  }

  // Widens the running maximum of |s * h - plane| over row w, columns u in [lo, hi]
  // (cell-relative).
  void Row(const Plane& p, int w, int lo, int hi, long long& worst) const {
    const int* h = values_[z0_ + w] + x0_;
    const long long first = p.at_origin + p.per_z * w + p.per_x * lo;
    const long long row = narrow_ ? RowWorst<int32_t>(h, lo, hi, shift_, first, p.per_x)
                                  : RowWorst<int64_t>(h, lo, hi, shift_, first, p.per_x);
    worst = std::max(worst, row);
  }

  // The exact error in whole units, rounded up: above a whole bound exactly when the
  // error itself is.
  uint32_t Error(long long worst) const {
    const long long e = (worst + s_ - 1) / s_;
    return e >= static_cast<long long>(TriangleErrorHierarchy::kMustSplit) ? TriangleErrorHierarchy::kMustSplit - 1
                                                                           : static_cast<uint32_t>(e);
  }

 private:
  int* const* values_;
  int x0_, z0_, s_;
  int shift_ = 0;
  bool narrow_;
};

}  // namespace

TriangleErrorHierarchy::TriangleErrorHierarchy(int rows, int cols, int* const* values,
                                               const std::function<void()>& poll)
    : rows_(rows), cols_(cols) {
  const int last_x = cols - 1, last_z = rows - 1;
  if (last_x < 1 || last_z < 1) return;
  side_ = 1;
  while (side_ < std::max(last_x, last_z)) side_ *= 2;
  values_.assign(static_cast<size_t>(rows) * cols, 0);
  // Plane figures stay within 4 * side * the largest height: 32 bits hold them for most grids.
  long long highest = 0;
  for (int z = 0; z < rows; ++z)
    for (int x = 0; x < cols; ++x) highest = std::max(highest, std::llabs(values[z][x]));
  const bool narrow = 4 * static_cast<long long>(side_) * (highest + 1) < (1LL << 31);
  // How many triangles inside the grid are split at each point: 0, 1 or 2.
  std::vector<uint8_t> splitting(values_.size(), 0);
  auto value = [&](int x, int z) -> uint32_t& { return values_[static_cast<size_t>(z) * cols + x]; };
  // Corners past the grid belong to triangles that are never measured.
  auto height = [&](int x, int z) -> long long { return x <= last_x && z <= last_z ? values[z][x] : 0; };

  // From the finest split points up: for each square side s, the triangles whose
  // hypotenuse is a side of the s-squares (split at the side's midpoint, children split
  // at the centres of the s/2-squares), then those whose hypotenuse is a diagonal of an
  // s-square (split at its centre, children split at the side midpoints just done).
  for (int s = 2; s <= side_; s *= 2) {
    const int half = s / 2, quarter = s / 4;
    // Folds triangle t, split at m on its hypotenuse from-to, into m's value: its own error
    // and its children's values. Straddling the grid's edge it must split.
    auto fold = [&](const TreeTriangle& t, bool whole, const TreePoint& from, const TreePoint& to,
                    const TreePoint& m, auto rasterise, const TreePoint* children, int child_count) {
      const Placement placement = whole ? Placement::kInside : PlacementOf(t, last_x, last_z);
      if (placement == Placement::kOutside || m.x > last_x || m.z > last_z) return;
      uint32_t& v = value(m.x, m.z);
      if (placement == Placement::kStraddling) {
        v = kMustSplit;
        return;
      }
      ++splitting[static_cast<size_t>(m.z) * cols + m.x];
      // Two steps across, the split point is the only point off the corners and the legs
      // (whose points belong to the children, against the same line).
      const uint32_t error =
          s == 2 ? static_cast<uint32_t>(
                       (std::llabs(2 * height(m.x, m.z) - height(from.x, from.z) - height(to.x, to.z)) + 1) / 2)
                 : rasterise();
      v = std::max(v, error);
      for (int i = 0; i < child_count; ++i) v = std::max(v, value(children[i].x, children[i].z));
    };
    for (int z0 = 0; z0 < last_z; z0 += s) {
      poll();
      for (int x0 = 0; x0 < last_x; x0 += s) {
        const TreePoint p00{x0, z0}, p10{x0 + s, z0}, p11{x0 + s, z0 + s}, p01{x0, z0 + s},
            c{x0 + half, z0 + half};
        const Rasteriser r(values, x0, z0, s, narrow);
        const bool whole = x0 + s <= last_x && z0 + s <= last_z;
        const long long h00 = height(x0, z0), h10 = height(x0 + s, z0), h01 = height(x0, z0 + s),
                        h11 = height(x0 + s, z0 + s), hc = height(x0 + half, z0 + half);
        const TreePoint a{x0 + quarter, z0 + quarter}, b{x0 + s - quarter, z0 + quarter},
            d{x0 + s - quarter, z0 + s - quarter}, e{x0 + quarter, z0 + s - quarter};
        const int kids = quarter > 0 ? 2 : 0;
        // The four triangles around the centre, each against its own plane.
        auto rows = [&](const Plane& p, int which) {
          return [&r, p, which, s, half] {
            long long worst = 0;
            for (int w = 0; w <= s; ++w) {
              const int lo_mid = std::min(w, s - w), hi_mid = std::max(w, s - w);
              switch (which) {
                case 0:
                  if (w <= half) r.Row(p, w, lo_mid, hi_mid, worst);
                  break;
                case 1:
                  r.Row(p, w, hi_mid, s, worst);
                  break;
                case 2:
                  if (w >= half) r.Row(p, w, lo_mid, hi_mid, worst);
                  break;
                default:
                  r.Row(p, w, 0, lo_mid, worst);
                  break;
              }
            }
            return r.Error(worst);
          };
        };
        const TreePoint kids_top[2] = {a, b}, kids_right[2] = {b, d}, kids_bottom[2] = {d, e},
                        kids_left[2] = {e, a};
        const Plane pt{s * h00, h10 - h00, 2 * hc - h00 - h10};
        const Plane pr{s * h10 - s * (h10 + h11 - 2 * hc), h10 + h11 - 2 * hc, h11 - h10};
        const Plane pb{s * h01 - s * (h01 + h11 - 2 * hc), h11 - h01, h01 + h11 - 2 * hc};
        const Plane pl{s * h00, 2 * hc - h00 - h01, h01 - h00};
        fold({p00, p10, c, 1}, whole, p00, p10, {x0 + half, z0}, rows(pt, 0), kids_top, kids);
        fold({p10, p11, c, 1}, whole, p10, p11, {x0 + s, z0 + half}, rows(pr, 1), kids_right, kids);
        fold({p11, p01, c, 1}, whole, p11, p01, {x0 + half, z0 + s}, rows(pb, 2), kids_bottom, kids);
        fold({p01, p00, c, 1}, whole, p01, p00, {x0, z0 + half}, rows(pl, 3), kids_left, kids);
      }
    }
    for (int z0 = 0; z0 < last_z; z0 += s) {
      poll();
      for (int x0 = 0; x0 < last_x; x0 += s) {
        const TreePoint p00{x0, z0}, p10{x0 + s, z0}, p11{x0 + s, z0 + s}, p01{x0, z0 + s},
            c{x0 + half, z0 + half};
        const TreePoint top{x0 + half, z0}, right{x0 + s, z0 + half}, bottom{x0 + half, z0 + s},
            left{x0, z0 + half};
        const Rasteriser r(values, x0, z0, s, narrow);
        const bool whole = x0 + s <= last_x && z0 + s <= last_z;
        const long long h00 = height(x0, z0), h10 = height(x0 + s, z0), h01 = height(x0, z0 + s),
                        h11 = height(x0 + s, z0 + s);
        // The diagonal runs from the corner the s-square shares with the 2s-square's
        // centre, which alternates: (x0, z0)-(x0+s, z0+s) when x0/s + z0/s is even.
        const bool falling = ((x0 / s + z0 / s) & 1) == 0;
        auto rows = [&](const Plane& p, bool upper) {
          return [&r, p, upper, falling, s] {
            long long worst = 0;
            for (int w = 0; w <= s; ++w) {
              if (falling)
                upper ? r.Row(p, w, w, s, worst) : r.Row(p, w, 0, w, worst);
              else
                upper ? r.Row(p, w, 0, s - w, worst) : r.Row(p, w, s - w, s, worst);
            }
            return r.Error(worst);
          };
        };
        if (falling) {
          const TreePoint kids_upper[2] = {top, right}, kids_lower[2] = {bottom, left};
          fold({p00, p10, p11, 3}, whole, p00, p11, c, rows(Plane{s * h00, h10 - h00, h11 - h10}, true),
               kids_upper, 2);
          fold({p00, p11, p01, 1}, whole, p00, p11, c, rows(Plane{s * h00, h11 - h01, h01 - h00}, false),
               kids_lower, 2);
        } else {
          const TreePoint kids_upper[2] = {top, left}, kids_lower[2] = {right, bottom};
          fold({p00, p10, p01, 2}, whole, p10, p01, c, rows(Plane{s * h00, h10 - h00, h01 - h00}, true),
               kids_upper, 2);
          fold({p10, p11, p01, 3}, whole, p10, p01, c,
               rows(Plane{s * (h10 + h01 - h11), h11 - h01, h11 - h10}, false), kids_lower, 2);
        }
      }
    }
  }

  // Mesh sizes by bound: the forced splits alone, plus one triangle per split inside the grid.
  above_.assign(kHistogram, 0);
  std::vector<long long> at(kHistogram, 0);
  for (size_t i = 0; i < values_.size(); ++i) {
    if (splitting[i] == 0 || values_[i] == kMustSplit) continue;
    largest_ = std::max(largest_, values_[i]);
    at[std::min(values_[i], kHistogram - 1)] += splitting[i];
  }
  long long sum = 0;
  for (uint32_t v = kHistogram; v-- > 0;) {
    above_[v] = sum;
    sum += at[v];
  }
  split_count_ = sum;
  Walk(
      static_cast<long long>(largest_), [&](const TreeTriangle&) { ++forced_count_; }, [] { return false; }, poll);
}

long long TriangleErrorHierarchy::CountFromHistogram(long long bound) const {
  if (!HasArea()) return 0;
  if (bound >= static_cast<long long>(kHistogram) - 1) return bound >= largest_ ? forced_count_ : -1;
  const long long split = bound < 0 ? split_count_ : above_[static_cast<size_t>(bound)];
  return forced_count_ + split;
}

namespace {

GridCache<TriangleErrorHierarchy>& Cache() {
  static GridCache<TriangleErrorHierarchy> cache;
  return cache;
}

}  // namespace

std::shared_ptr<const TriangleErrorHierarchy> TriangleErrorHierarchyOfGrid(const data& grid,
                                                                            const std::function<void()>& poll) {
  return Cache().Get(
      grid, [&] { return std::make_shared<const TriangleErrorHierarchy>(grid.rows, grid.cols, grid.values, poll); });
}

std::shared_ptr<const TriangleErrorHierarchy> TriangleErrorHierarchyForView(const data& grid,
                                                                             const std::function<void()>& poll,
                                                                             bool make_it) {
  return Cache().GetQuick(
      grid, [&] { return std::make_shared<const TriangleErrorHierarchy>(grid.rows, grid.cols, grid.values, poll); },
      make_it);
}

}  // namespace mesh

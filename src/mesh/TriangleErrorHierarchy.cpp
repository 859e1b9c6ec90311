#include "TriangleErrorHierarchy.h"

#include <cstdlib>

#include "GridCache.h"
#include "WideVectors.h"
#include "ParallelIndices.h"

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
[[gnu::always_inline]] inline long long RowWorstLoop(const int* h, int n, int shift, T start, T step) {
  T most = 0;
  for (int i = 0; i <= n; ++i) {
    T d = static_cast<T>(static_cast<T>(h[i]) << shift) - static_cast<T>(start + step * i);
    d = d < 0 ? -d : d;
    most = d > most ? d : most;
  }
  return most;
}

#if defined(__x86_64__) || defined(__i386__)
// Eight columns at a time where the processor has them.
[[gnu::target("avx2")]] long long RowWorstWide(const int* h, int n, int shift, int32_t start, int32_t step) {
  return RowWorstLoop<int32_t>(h, n, shift, start, step);
}

#else
long long RowWorstWide(const int* h, int n, int shift, int32_t start, int32_t step) {
  return RowWorstLoop<int32_t>(h, n, shift, start, step);
}
#endif

long long RowWorst(bool narrow, bool wide, const int* h, int lo, int hi, int shift, long long first, long long per_x) {
  if (!narrow) return RowWorstLoop<int64_t>(h + lo, hi - lo, shift, first, per_x);
  const int32_t start = static_cast<int32_t>(first), step = static_cast<int32_t>(per_x);
  return wide && hi - lo >= 8 ? RowWorstWide(h + lo, hi - lo, shift, start, step)
                              : RowWorstLoop<int32_t>(h + lo, hi - lo, shift, start, step);
}

// Which grid points of an s-square a triangle holds, row by row: the four around the
// centre with a side of the square as hypotenuse, and the two halves of either diagonal.
enum class Shape { kTop, kRight, kBottom, kLeft, kFallingUpper, kFallingLower, kRisingUpper, kRisingLower };

// The columns [lo, hi] of row w (square-relative) in the triangle; false when it has none.
inline bool RowSpan(Shape shape, int s, int w, int& lo, int& hi) {
  const int lo_mid = std::min(w, s - w), hi_mid = std::max(w, s - w);
  switch (shape) {
    case Shape::kTop:
      lo = lo_mid, hi = hi_mid;
      return 2 * w <= s;
    case Shape::kRight:
      lo = hi_mid, hi = s;
      return true;
    case Shape::kBottom:
      lo = lo_mid, hi = hi_mid;
      return 2 * w >= s;
    case Shape::kLeft:
      lo = 0, hi = lo_mid;
      return true;
    case Shape::kFallingUpper:
      lo = w, hi = s;
      return true;
    case Shape::kFallingLower:
      lo = 0, hi = w;
      return true;
    case Shape::kRisingUpper:
      lo = 0, hi = s - w;
      return true;
    default:
      lo = s - w, hi = s;
      return true;
  }
}

// The largest |S * h - plane| over the triangle's points in the S-square at (x0, z0), for
// small squares, where rows are too short for vectors: the loops unroll whole.
template <int S, Shape kShape>
long long SmallWorst(const Plane& p, int* const* values, int x0, int z0) {
  constexpr int shift = S == 4 ? 2 : 3;
  long long worst = 0;
  for (int w = 0; w <= S; ++w) {
    int lo = 0, hi = 0;
    if (!RowSpan(kShape, S, w, lo, hi)) continue;
    const int* h = values[z0 + w] + x0;
    const long long first = p.at_origin + p.per_z * w;
    for (int u = lo; u <= hi; ++u)
      worst = std::max(worst, std::llabs((static_cast<long long>(h[u]) << shift) - (first + p.per_x * u)));
  }
  return worst;
}

template <int S>
long long SmallWorst(Shape shape, const Plane& p, int* const* values, int x0, int z0) {
  switch (shape) {
    case Shape::kTop:
      return SmallWorst<S, Shape::kTop>(p, values, x0, z0);
    case Shape::kRight:
      return SmallWorst<S, Shape::kRight>(p, values, x0, z0);
    case Shape::kBottom:
      return SmallWorst<S, Shape::kBottom>(p, values, x0, z0);
    case Shape::kLeft:
      return SmallWorst<S, Shape::kLeft>(p, values, x0, z0);
    case Shape::kFallingUpper:
      return SmallWorst<S, Shape::kFallingUpper>(p, values, x0, z0);
    case Shape::kFallingLower:
      return SmallWorst<S, Shape::kFallingLower>(p, values, x0, z0);
    case Shape::kRisingUpper:
      return SmallWorst<S, Shape::kRisingUpper>(p, values, x0, z0);
    default:
      return SmallWorst<S, Shape::kRisingLower>(p, values, x0, z0);
  }
}

// A triangle of the tree split at m on its hypotenuse from-to, with its plane, its points
// and the split points of its children.
struct Split {
  TreeTriangle t;
  TreePoint from, to, m;
  Plane plane;
  Shape shape;
  TreePoint children[2];
  int child_count;
};

// What a split does to m's value: nothing (outside the grid), force it, or fold in the
// triangle's measured error.
enum class Effect { kNone, kForce, kMeasure };

// One level of squares at a time, from the finest split points up: for each square side s,
// the triangles whose hypotenuse is a side of the s-squares (split at the side's midpoint,
// children split at the centres of the s/2-squares), then those whose hypotenuse is a
// diagonal of an s-square (split at its centre, children split at the side midpoints just
// done).
class LevelBuilder {
 public:
  LevelBuilder(int rows, int cols, int* const* values, bool narrow, std::vector<uint32_t>& out,
               std::vector<uint8_t>& splitting)
      : cols_(cols), last_x_(cols - 1), last_z_(rows - 1), values_(values), narrow_(narrow), out_(out),
        splitting_(splitting) {}

  int SquaresAcross(int s) const { return (last_x_ + s - 1) / s; }
  int SquaresDown(int s) const { return (last_z_ + s - 1) / s; }

  // The triangles of s-square (x0, z0) split at its side midpoints, or at its centre.
  int Splits(int x0, int z0, int s, bool sides, Split (&out)[4]) const {
    const int half = s / 2, quarter = s / 4;
    const TreePoint p00{x0, z0}, p10{x0 + s, z0}, p11{x0 + s, z0 + s}, p01{x0, z0 + s}, c{x0 + half, z0 + half};
    const TreePoint top{x0 + half, z0}, right{x0 + s, z0 + half}, bottom{x0 + half, z0 + s}, left{x0, z0 + half};
    const long long h00 = Height(x0, z0), h10 = Height(x0 + s, z0), h01 = Height(x0, z0 + s),
                    h11 = Height(x0 + s, z0 + s);
    if (sides) {
      const long long hc = Height(c.x, c.z);
      const TreePoint a{x0 + quarter, z0 + quarter}, b{x0 + s - quarter, z0 + quarter},
          d{x0 + s - quarter, z0 + s - quarter}, e{x0 + quarter, z0 + s - quarter};
      const int kids = quarter > 0 ? 2 : 0;
      out[0] = {{p00, p10, c, 1}, p00, p10, top, {s * h00, h10 - h00, 2 * hc - h00 - h10}, Shape::kTop, {a, b}, kids};
      out[1] = {{p10, p11, c, 1}, p10, p11, right,
                {s * h10 - s * (h10 + h11 - 2 * hc), h10 + h11 - 2 * hc, h11 - h10}, Shape::kRight, {b, d}, kids};
      out[2] = {{p11, p01, c, 1}, p11, p01, bottom,
                {s * h01 - s * (h01 + h11 - 2 * hc), h11 - h01, h01 + h11 - 2 * hc}, Shape::kBottom, {d, e}, kids};
      out[3] = {{p01, p00, c, 1}, p01, p00, left, {s * h00, 2 * hc - h00 - h01, h01 - h00}, Shape::kLeft, {e, a}, kids};
      return 4;
    }
    // The diagonal runs from the corner the s-square shares with the 2s-square's
    // centre, which alternates: (x0, z0)-(x0+s, z0+s) when x0/s + z0/s is even.
    if (((x0 / s + z0 / s) & 1) == 0) {
      out[0] = {{p00, p10, p11, 3}, p00, p11, c, {s * h00, h10 - h00, h11 - h10}, Shape::kFallingUpper,
                {top, right}, 2};
      out[1] = {{p00, p11, p01, 1}, p00, p11, c, {s * h00, h11 - h01, h01 - h00}, Shape::kFallingLower,
                {bottom, left}, 2};
    } else {
      out[0] = {{p00, p10, p01, 2}, p10, p01, c, {s * h00, h10 - h00, h01 - h00}, Shape::kRisingUpper, {top, left}, 2};
      out[1] = {{p10, p11, p01, 3}, p10, p01, c, {s * (h10 + h01 - h11), h11 - h01, h11 - h10}, Shape::kRisingLower,
                {right, bottom}, 2};
    }
    return 2;
  }

  Effect EffectOf(const Split& split, bool whole) const {
    const Placement placement = whole ? Placement::kInside : PlacementOf(split.t, last_x_, last_z_);
    if (placement == Placement::kOutside || split.m.x > last_x_ || split.m.z > last_z_) return Effect::kNone;
    return placement == Placement::kStraddling ? Effect::kForce : Effect::kMeasure;
  }

  bool Whole(int x0, int z0, int s) const { return x0 + s <= last_x_ && z0 + s <= last_z_; }

  // The exact error in whole units, rounded up: above a whole bound exactly when the
  // error itself is.
  static uint32_t Error(long long worst, int s) {
    const long long e = (worst + s - 1) / s;
    return e >= static_cast<long long>(TriangleErrorHierarchy::kMustSplit) ? TriangleErrorHierarchy::kMustSplit - 1
                                                                           : static_cast<uint32_t>(e);
  }

  // The error of a split of a square of side 2, 4 or 8.
  uint32_t MeasuredError(const Split& split, int x0, int z0, int s) const {
    switch (s) {
      case 2:
        return SmallError(split);
      case 4:
        return Error(SmallWorst<4>(split.shape, split.plane, values_, x0, z0), 4);
      default:
        return Error(SmallWorst<8>(split.shape, split.plane, values_, x0, z0), 8);
    }
  }

  // Two steps across, the split point is the only point off the corners and the legs
  // (whose points belong to the children, against the same line).
  uint32_t SmallError(const Split& split) const {
    return static_cast<uint32_t>(
        (std::llabs(2 * Height(split.m.x, split.m.z) - Height(split.from.x, split.from.z) -
                    Height(split.to.x, split.to.z)) +
         1) /
        2);
  }

  // Folds the split into m's value: its own error (counting the split) and its children's
  // values, or only one of the two. Straddling the grid's edge it must split.
  enum class Part { kAll, kOwn, kChildren };
  void Apply(const Split& split, Effect effect, uint32_t error, Part part = Part::kAll) {
    const size_t at = static_cast<size_t>(split.m.z) * cols_ + split.m.x;
    uint32_t& v = out_[at];
    if (effect == Effect::kForce) {
      v = TriangleErrorHierarchy::kMustSplit;
      return;
    }
    if (part != Part::kChildren) {
      ++splitting_[at];
      v = std::max(v, error);
    }
    if (part != Part::kOwn)
      for (int i = 0; i < split.child_count; ++i)
        v = std::max(v, out_[static_cast<size_t>(split.children[i].z) * cols_ + split.children[i].x]);
  }

  // For squares of side 2, 4 or 8: every square of row j, each triangle measured whole.
  void Row(int j, int s, bool sides) {
    const int z0 = j * s;
    Split splits[4];
    for (int x0 = 0; x0 < last_x_; x0 += s) {
      const bool whole = Whole(x0, z0, s);
      if (whole && s == 2) {
        sides ? SmallSides(x0, z0) : SmallCentre(x0, z0);
        continue;
      }
      const int n = Splits(x0, z0, s, sides, splits);
      for (int k = 0; k < n; ++k) {
        const Effect effect = EffectOf(splits[k], whole);
        if (effect == Effect::kNone) continue;
        uint32_t error = 0;
        if (effect == Effect::kMeasure) error = MeasuredError(splits[k], x0, z0, s);
        Apply(splits[k], effect, error);
      }
    }
  }

  // The splits of a whole 2-square at its side midpoints: no children, the error of the
  // midpoint against its side's ends.
  void SmallSides(int x0, int z0) {
    const int* top = values_[z0] + x0;
    const int* middle = values_[z0 + 1] + x0;
    const int* bottom = values_[z0 + 2] + x0;
    Fold(x0 + 1, z0, HalfOff(top[1], top[0], top[2]));
    Fold(x0 + 2, z0 + 1, HalfOff(middle[2], top[2], bottom[2]));
    Fold(x0 + 1, z0 + 2, HalfOff(bottom[1], bottom[2], bottom[0]));
    Fold(x0, z0 + 1, HalfOff(middle[0], bottom[0], top[0]));
  }

  // The two splits of a whole 2-square at its centre, on the same diagonal, with the side
  // midpoints as their children.
  void SmallCentre(int x0, int z0) {
    const int* top = values_[z0] + x0;
    const int* bottom = values_[z0 + 2] + x0;
    const int centre = values_[z0 + 1][x0 + 1];
    const uint32_t error = ((x0 / 2 + z0 / 2) & 1) == 0 ? HalfOff(centre, top[0], bottom[2])
                                                        : HalfOff(centre, top[2], bottom[0]);
    const size_t at = static_cast<size_t>(z0 + 1) * cols_ + x0 + 1;
    splitting_[at] += 2;
    out_[at] = std::max({out_[at], error, out_[at - cols_], out_[at + cols_], out_[at - 1], out_[at + 1]});
  }

  // For squares of side 16 and more: the six splits of each square of a row, the four at
  // its side midpoints and the two at its centre, measured together in one sweep over its
  // rows of grid points.
  struct RowPlan {
    std::vector<Split> splits;
    std::vector<Effect> effects;
  };

  RowPlan Plan(int j, int s) const {
    const int z0 = j * s, across = SquaresAcross(s);
    RowPlan plan;
    plan.splits.resize(static_cast<size_t>(across) * 6);
    plan.effects.resize(plan.splits.size());
    for (int i = 0; i < across; ++i) {
      Split* six = &plan.splits[static_cast<size_t>(i) * 6];
      Split four[4];
      for (int k = Splits(i * s, z0, s, true, four); k-- > 0;) six[k] = four[k];
      for (int k = Splits(i * s, z0, s, false, four); k-- > 0;) six[4 + k] = four[k];
      for (int k = 0; k < 6; ++k) plan.effects[static_cast<size_t>(i) * 6 + k] = EffectOf(six[k], Whole(i * s, z0, s));
    }
    return plan;
  }

  // Widens worst[k], the largest |s * h - plane| of the plan's split k, over rows [w_lo,
  // w_hi] of the squares of row j, row by row across all of them.
  void Sweep(const RowPlan& plan, int j, int s, int w_lo, int w_hi, long long* worst) const {
    int shift = 0;
    while ((1 << shift) < s) ++shift;
    const int z0 = j * s;
    // Rows past the grid belong to no triangle measured.
    for (int w = w_lo; w <= w_hi && z0 + w <= last_z_; ++w) {
      const int* row = values_[z0 + w];
      for (size_t k = 0; k < plan.splits.size(); ++k) {
        int lo, hi;
        const Split& split = plan.splits[k];
        if (plan.effects[k] != Effect::kMeasure || !RowSpan(split.shape, s, w, lo, hi)) continue;
        const Plane& p = split.plane;
        const long long first = p.at_origin + p.per_z * w + p.per_x * lo;
        const int* h = row + static_cast<int>(k / 6) * s;
        worst[k] = std::max(worst[k], RowWorst(narrow_, wide_, h, lo, hi, shift, first, p.per_x));
      }
    }
  }

  // Folds the plan's side splits into their midpoints; the centre splits' own errors go to
  // the centres already, as no split of this size reads them: their children, the side
  // midpoints, follow once every row's sides are done (Children).
  void FoldSweep(const RowPlan& plan, int s, const long long* worst) {
    for (size_t k = 0; k < plan.splits.size(); ++k)
      if (plan.effects[k] != Effect::kNone)
        Apply(plan.splits[k], plan.effects[k], Error(worst[k], s), k % 6 < 4 ? Part::kAll : Part::kOwn);
  }

  void Children(int j, int s) {
    Split two[4];
    for (int x0 = 0; x0 < last_x_; x0 += s) {
      const bool whole = Whole(x0, j * s, s);
      for (int k = Splits(x0, j * s, s, false, two); k-- > 0;)
        if (EffectOf(two[k], whole) == Effect::kMeasure) Apply(two[k], Effect::kMeasure, 0, Part::kChildren);
    }
  }

 private:
  static uint32_t HalfOff(long long m, long long p, long long q) {
    return static_cast<uint32_t>((std::llabs(2 * m - p - q) + 1) / 2);
  }

  void Fold(int x, int z, uint32_t error) {
    const size_t at = static_cast<size_t>(z) * cols_ + x;
    ++splitting_[at];
    out_[at] = std::max(out_[at], error);
  }

  // Corners past the grid belong to triangles that are never measured.
  long long Height(int x, int z) const { return x <= last_x_ && z <= last_z_ ? values_[z][x] : 0; }

  int cols_, last_x_, last_z_;
  int* const* values_;
  bool narrow_;
  bool wide_ = HasWideVectors();
  std::vector<uint32_t>& out_;
  std::vector<uint8_t>& splitting_;
};

}  // namespace

TriangleErrorHierarchy::TriangleErrorHierarchy(int rows, int cols, int* const* values,
                                               const std::function<void()>& poll, int threads)
    : rows_(rows), cols_(cols) {
  const int last_x = cols - 1, last_z = rows - 1;
  if (last_x < 1 || last_z < 1) return;
  if (threads <= 0) threads = BuildThreads(static_cast<long long>(rows) * cols);
  side_ = 1;
  while (side_ < std::max(last_x, last_z)) side_ *= 2;
  values_.assign(static_cast<size_t>(rows) * cols, 0);
  // Plane figures stay within 4 * side * the largest height: 32 bits hold them for most grids.
  std::vector<long long> row_highest(static_cast<size_t>(rows), 0);
  ForEachIndex(rows, threads, poll, [&](int z) {
    long long most = 0;
    for (int x = 0; x < cols; ++x) most = std::max(most, std::llabs(values[z][x]));
    row_highest[static_cast<size_t>(z)] = most;
  });
  const long long highest = *std::max_element(row_highest.begin(), row_highest.end());
  const bool narrow = 4 * static_cast<long long>(side_) * (highest + 1) < (1LL << 31);
  // How many triangles inside the grid are split at each point: 0, 1 or 2.
  std::vector<uint8_t> splitting(values_.size(), 0);
  LevelBuilder level(rows, cols, values, narrow, values_, splitting);
  for (int s = 2; s <= side_; s *= 2) {
    const int down = level.SquaresDown(s);
    // Rows of squares on their own; neighbouring rows share the side midpoints between
    // them, so the even rows go first, then the odd ones.
    if (s <= 8) {
      for (int parity = 0; parity < 2; ++parity)
        ForEachIndex((down + 1 - parity) / 2, threads, poll, [&](int i) { level.Row(2 * i + parity, s, true); });
      ForEachIndex(down, threads, poll, [&](int j) { level.Row(j, s, false); });
      continue;
    }
    if (threads > 1 && down < 4 * threads) {
      // Few rows of big squares: the threads share each row's sweep by bands of grid rows.
      for (int j = 0; j < down; ++j) {
        const auto plan = level.Plan(j, s);
        const size_t n = plan.splits.size();
        const int bands = std::min(s + 1, 4 * threads);
        std::vector<long long> worst(static_cast<size_t>(bands) * n, 0);
        ForEachIndex(bands, threads, poll, [&](int band) {
          level.Sweep(plan, j, s, band * (s + 1) / bands, (band + 1) * (s + 1) / bands - 1, worst.data() + band * n);
        });
        for (int band = 1; band < bands; ++band)
          for (size_t k = 0; k < n; ++k) worst[k] = std::max(worst[k], worst[band * n + k]);
        level.FoldSweep(plan, s, worst.data());
      }
    } else {
      for (int parity = 0; parity < 2; ++parity)
        ForEachIndex((down + 1 - parity) / 2, threads, poll, [&](int i) {
          const int j = 2 * i + parity;
          const auto plan = level.Plan(j, s);
          std::vector<long long> worst(plan.splits.size(), 0);
          level.Sweep(plan, j, s, 0, s, worst.data());
          level.FoldSweep(plan, s, worst.data());
        });
    }
    ForEachIndex(down, threads, poll, [&](int j) { level.Children(j, s); });
  }

  // Mesh sizes by bound: the forced splits alone, plus one triangle per split inside the grid.
  above_.assign(kHistogram, 0);
  std::vector<std::vector<long long>> at(static_cast<size_t>(threads));
  std::vector<uint32_t> band_largest(static_cast<size_t>(threads), 0);
  ForEachIndex(threads, threads, poll, [&](int band) {
    std::vector<long long>& counts = at[static_cast<size_t>(band)];
    counts.assign(kHistogram, 0);
    const size_t end = values_.size() * (band + 1) / threads;
    for (size_t i = values_.size() * band / threads; i < end; ++i) {
      if (splitting[i] == 0 || values_[i] == kMustSplit) continue;
      band_largest[static_cast<size_t>(band)] = std::max(band_largest[static_cast<size_t>(band)], values_[i]);
      counts[std::min(values_[i], kHistogram - 1)] += splitting[i];
    }
  });
  largest_ = *std::max_element(band_largest.begin(), band_largest.end());
  long long sum = 0;
  for (uint32_t v = kHistogram; v-- > 0;) {
    above_[v] = sum;
    for (const std::vector<long long>& counts : at) sum += counts[v];
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

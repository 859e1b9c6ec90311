// The error hierarchy of right-triangle bisection over a grid, for meshes whose error
// bound holds at every grid point.
//
// The bisection tree covers the square of N = 2^k >= max(cols - 1, rows - 1) grid steps.
// Every grid point but the square's corners is the split point of one or two triangles of
// the tree (the two that share a hypotenuse), and the hierarchy keeps one value per grid
// point: the largest exact error of those triangles (every grid point on or inside them
// against their plane), raised to the values of the split points of their children. A
// triangle is split when the value at its split point exceeds the bound; both sides of a
// hypotenuse then split together, and a triangle's children never split without it, so
// the mesh is conforming and every triangle left whole is within the bound.
//
// Triangles that reach past the last row or column are split until they lie wholly inside
// or outside the grid; those outside are dropped. A triangle inside whose partner across
// the hypotenuse reaches outside splits with it (kMustSplit).
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Mesh.h"
#include "TerrainLoader.h"

namespace mesh {

// A corner of the bisection tree in grid steps (column x, row z); it may lie past the grid.
struct TreePoint {
  int x, z;
};

// A triangle of the tree: corners in the plain mesher's turning sense and its hypotenuse
// code (1 a-b, 2 b-c, 3 c-a).
struct TreeTriangle {
  TreePoint a, b, c;
  int hypotenuse;
};

// The triangle as the mesh builders take it (no normals or texture corners: the drawing
// reads those by grid position), heights from `values`.
inline Triangle GridTriangle(const TreeTriangle& t, int* const* values) {
  auto vertex = [values](const TreePoint& p) { return Vertex{p.x, values[p.z][p.x], p.z}; };
  Triangle out{};
  out.a = vertex(t.a);
  out.b = vertex(t.b);
  out.c = vertex(t.c);
  out.hypotenuse = t.hypotenuse;
  return out;
}

enum class Placement { kInside, kStraddling, kOutside };

// Where a triangle lies against the grid rectangle [0, last_x] x [0, last_z]: wholly
// inside, across its edge, or sharing no area with it (separating-axis test).
inline Placement PlacementOf(const TreeTriangle& t, int last_x, int last_z) {
  const TreePoint p[3] = {t.a, t.b, t.c};
  const int max_x = std::max({p[0].x, p[1].x, p[2].x}), max_z = std::max({p[0].z, p[1].z, p[2].z});
  if (max_x <= last_x && max_z <= last_z) return Placement::kInside;
  if (std::min({p[0].x, p[1].x, p[2].x}) >= last_x || std::min({p[0].z, p[1].z, p[2].z}) >= last_z)
    return Placement::kOutside;
  const TreePoint corners[4] = {{0, 0}, {last_x, 0}, {last_x, last_z}, {0, last_z}};
  for (int i = 0; i < 3; ++i) {
    const TreePoint& s = p[i];
    const TreePoint& e = p[(i + 1) % 3];
    const TreePoint& r = p[(i + 2) % 3];
    auto side = [&](const TreePoint& q) {
      return static_cast<long long>(e.x - s.x) * (q.z - s.z) - static_cast<long long>(e.z - s.z) * (q.x - s.x);
    };
    const long long inner = side(r);
    bool separated = true;
    for (const TreePoint& q : corners) separated = separated && side(q) * inner <= 0;
    if (separated) return Placement::kOutside;
  }
  return Placement::kStraddling;
}

// The midpoint of the hypotenuse; `leaf` when it is no grid point (legs one step long).
inline TreePoint SplitPointOf(const TreeTriangle& t, bool& leaf) {
  const TreePoint& p = t.hypotenuse == 1 ? t.a : t.hypotenuse == 2 ? t.b : t.c;
  const TreePoint& q = t.hypotenuse == 1 ? t.b : t.hypotenuse == 2 ? t.c : t.a;
  leaf = ((p.x ^ q.x) & 1) != 0 || ((p.z ^ q.z) & 1) != 0;
  return TreePoint{(p.x + q.x) / 2, (p.z + q.z) / 2};
}

// The two children, first then second, as the plain mesher bisects: each has its right
// angle at the split point m and a leg of its parent as its hypotenuse.
inline void BisectTree(const TreeTriangle& t, const TreePoint& m, TreeTriangle (&child)[2]) {
  switch (t.hypotenuse) {
    case 1:
      child[0] = {t.a, m, t.c, 3};
      child[1] = {m, t.b, t.c, 2};
      break;
    case 2:
      child[0] = {t.a, t.b, m, 1};
      child[1] = {t.a, m, t.c, 3};
      break;
    default:
      child[0] = {t.a, t.b, m, 1};
      child[1] = {m, t.b, t.c, 2};
      break;
  }
}

class TriangleErrorHierarchy {
 public:
  static constexpr uint32_t kMustSplit = UINT32_MAX;

  // Builds the hierarchy of the rows x cols heights `values` (NODATA values taken as
  // heights). `poll` is called now and then and may throw to abandon the build.
  TriangleErrorHierarchy(int rows, int cols, int* const* values, const std::function<void()>& poll);

  // False for a grid of one row or one column: no triangle has area on it.
  bool HasArea() const { return side_ > 0; }
  int Side() const { return side_; }
  // The value at split point m (inside the grid).
  uint32_t ValueAt(const TreePoint& m) const { return values_[static_cast<size_t>(m.z) * cols_ + m.x]; }
  // The largest value below kMustSplit: at or above it only forced splits remain.
  uint32_t Largest() const { return largest_; }

  // The triangles of the mesh at `bound`, or -1 when the histogram cannot tell (bounds
  // beyond its range) and the tree has to be walked.
  long long CountFromHistogram(long long bound) const;

  // Walks the mesh at `bound` depth first, first child before second, and hands every
  // triangle kept to emit(const TreeTriangle&). stop() is asked after each one and ends
  // the walk when true; poll() is called every few thousand triangles.
  template <class Emit, class Stop, class Poll>
  void Walk(long long bound, Emit emit, Stop stop, Poll poll) const;

 private:
  int rows_, cols_;
  int side_ = 0;
  std::vector<uint32_t> values_;  // per grid point
  uint32_t largest_ = 0;
  long long forced_count_ = 0;  // triangles of the mesh when only forced splits are made
  // Per value v below kHistogram - 1, the triangles inside the grid split at a point of
  // value v; the last slot gathers all larger values.
  static constexpr uint32_t kHistogram = 1u << 16;
  std::vector<long long> above_;  // above_[v]: such triangles whose value exceeds v
  long long split_count_ = 0;     // all such triangles
};

// Walks the bisection of the square of side `side` from its two start triangles, depth
// first, first child before second, over the grid [0, last_x] x [0, last_z]: triangles
// outside are dropped, those across its edge split, and those inside split while
// value(split point) > bound. emit(const TreeTriangle&) gets every triangle kept; stop()
// is asked after each and ends the walk when true; poll() is called now and then.
template <class Value, class Emit, class Stop, class Poll>
void WalkBisection(int side, int last_x, int last_z, Value value, long long bound, Emit emit, Stop stop,
                   Poll poll) {
  if (side <= 0) return;
  const int n = side;
  struct Pending {
    TreeTriangle t;
    bool inside;  // known to lie inside, as every child of a triangle inside does
  };
  std::vector<Pending> stack{{{{0, 0}, {n, n}, {0, n}, 1}, false}, {{{0, 0}, {n, 0}, {n, n}, 3}, false}};
  unsigned long long visited = 0;
  TreeTriangle child[2];
  while (!stack.empty()) {
    if ((++visited & 0xFFF) == 0) poll();
    const Pending p = stack.back();
    stack.pop_back();
    const TreeTriangle& t = p.t;
    const Placement placement = p.inside ? Placement::kInside : PlacementOf(t, last_x, last_z);
    if (placement == Placement::kOutside) continue;
    bool leaf = false;
    const TreePoint m = SplitPointOf(t, leaf);
    if (leaf && placement == Placement::kStraddling) continue;  // cannot occur: cells lie on one side
    if (placement == Placement::kStraddling || (!leaf && static_cast<long long>(value(m)) > bound)) {
      BisectTree(t, m, child);
      const bool inside = placement == Placement::kInside;
      stack.push_back({child[1], inside});
      stack.push_back({child[0], inside});
      continue;
    }
    emit(t);
    if (stop()) return;
  }
}

template <class Emit, class Stop, class Poll>
void TriangleErrorHierarchy::Walk(long long bound, Emit emit, Stop stop, Poll poll) const {
  WalkBisection(
      side_, cols_ - 1, rows_ - 1, [this](const TreePoint& m) { return ValueAt(m); }, bound, emit, stop, poll);
}

// The hierarchy of `grid` as it is now, built on first use and kept for later
// builds while the grid's size and heights stay the same. Safe to call from any thread.
std::shared_ptr<const TriangleErrorHierarchy> TriangleErrorHierarchyOfGrid(const data& grid,
                                                                            const std::function<void()>& poll);
// The same, the grid told by its quick key (GridCache::GetQuick); with `make_it` false, null
// until the hierarchy is made.
std::shared_ptr<const TriangleErrorHierarchy> TriangleErrorHierarchyForView(const data& grid,
                                                                             const std::function<void()>& poll,
                                                                             bool make_it);

}  // namespace mesh

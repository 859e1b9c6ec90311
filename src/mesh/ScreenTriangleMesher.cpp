// Triangle bisection for the view: a split point is split when its hierarchy value, seen
// from the camera at the nearest point of its box, exceeds the bound in pixels, and its box
// is in view. The box of a split point holds the triangles split there (the diamond) and
// the boxes of the split points their children are split at, and its heights come from
// blocks no smaller than those of those points; values nest the same way (a value holds its
// children's). So the test picks a point's parents whenever it picks the point, both sides
// of a hypotenuse split together, and the mesh conforms with no further pass.
#include <algorithm>
#include <new>

#include "HeightBounds.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "ScreenBound.h"
#include "ScreenMesh.h"
#include "ScreenTest.h"
#include "TriangleErrorHierarchy.h"
#include "TriangleSink.h"

namespace mesh {

namespace {

int LowBit(int v) { return v == 0 ? 1 << 30 : v & -v; }

// The box of split point m. The centre of an s-square (both coordinates' lowest bits s/2)
// reaches 1.5 s each way, a side's midpoint s: a centre's children are the side midpoints
// s/2 away, a midpoint's the centres of s/2-squares s/4 away, so each box holds its
// children's. Heights come from blocks of 4 s and 2 s, which never grow down the tree.
GridBox SplitBox(const TreePoint& m, const HeightBounds& bounds) {
  const int bx = LowBit(m.x), bz = LowBit(m.z);
  const int s = 2 * std::min(bx, bz);
  const bool centre = bx == bz;
  const int reach = centre ? s + s / 2 : s;
  int low = 0, high = 0;
  bounds.Range(m.x - reach, m.z - reach, m.x + reach, m.z + reach, centre ? 4 * s : 2 * s, low, high);
  return GridBox{static_cast<double>(m.x - reach), static_cast<double>(m.x + reach),
                 static_cast<double>(m.z - reach), static_cast<double>(m.z + reach),
                 static_cast<double>(low), static_cast<double>(high)};
}

class TriangleView {
 public:
  TriangleView(const data& grid, const TriangleErrorHierarchy& h, const HeightBounds& bounds, const ScreenTest& test)
      : last_x_(grid.cols - 1), last_z_(grid.rows - 1), h_(h), bounds_(bounds), test_(test) {}

  // The pixels point m's value shows in view; 0 out of view.
  double Pixels(const TreePoint& m) const {
    const uint32_t v = h_.ValueAt(m);
    if (v == 0) return 0;
    if (v == TriangleErrorHierarchy::kMustSplit) return kForced;
    const GridBox box = SplitBox(m, bounds_);
    const double px = test_.Pixels(v, box);
    return px == 0 || test_.Outside(box) ? 0 : px;
  }

  template <class Emit, class Stop, class Poll>
  void Walk(double bound, Emit emit, Stop stop, Poll poll) const {
    WalkBisection(
        h_.Side(), last_x_, last_z_, [&](const TreePoint& m) { return Pixels(m) > bound ? 1 : 0; }, 0, emit, stop,
        poll);
  }

  // The most pixels any triangle kept shows.
  double Shown(const TreeTriangle& t) const {
    bool leaf = false;
    const TreePoint m = SplitPointOf(t, leaf);
    return leaf ? 0 : Pixels(m);
  }

  static constexpr double kForced = 1e300;

 private:
  int last_x_, last_z_;
  const TriangleErrorHierarchy& h_;
  const HeightBounds& bounds_;
  const ScreenTest& test_;
};

}  // namespace

template <class Builder>
int BuildScreenTriangleMesh(const data& grid, const Settings& s, Builder& out) {
  auto poll = [&out] { out.Poll(); };
  std::shared_ptr<const TriangleErrorHierarchy> hierarchy;
  try {
    hierarchy = TriangleErrorHierarchyForView(grid, poll, !s.screen.coarse_first);
    if (hierarchy == nullptr) return BuildCoarseFirst(grid, s, out);
  } catch (const std::bad_alloc&) {
    return FallBackFromStrict(s, out, [&grid](const Settings& loose, Builder& b) {
      return BuildTriangleMesh(grid, loose, b);
    });
  }
  const std::shared_ptr<const HeightBounds> bounds = HeightBounds::ForView(grid);
  const ScreenTest test(s.screen.pose);
  const TriangleView view(grid, *hierarchy, *bounds, test);
  auto count = [&](double bound, long long limit) {
    long long n = 0;
    view.Walk(
        bound, [&](const TreeTriangle&) { ++n; }, [&] { return n > limit; }, poll);
    return n;
  };
  ScreenResult result;
  result.on = true;
  result.bound_px = ScreenBoundWithin(s.screen.bound_px, s.screen.cap, count, result.limited);
  view.Walk(
      result.bound_px,
      [&](const TreeTriangle& t) {
        result.achieved_px = std::max(result.achieved_px, view.Shown(t));
        out.Append(GridTriangle(t, grid.values));
      },
      [] { return false; }, poll);
  if (result.achieved_px >= TriangleView::kForced) result.achieved_px = result.bound_px;
  out.Screen(result);
  out.Report("");
  return std::max(s.precision, 0);
}

template int BuildScreenTriangleMesh(const data&, const Settings&, TriangleSink&);
template int BuildScreenTriangleMesh(const data&, const Settings&, IndexedMeshBuilder&);

}  // namespace mesh

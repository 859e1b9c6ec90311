// Triangle bisection for the view: a split point is split when its hierarchy value, seen
// from the camera at the nearest point of its box, exceeds the bound in pixels, and its box
// is in view. The box of a split point holds the triangles split there (the diamond) and
// the boxes of the split points their children are split at, and its heights come from
// blocks no smaller than those of those points; values nest the same way (a value holds its
// children's). So the test picks a point's parents whenever it picks the point, both sides
// of a hypotenuse split together, and the mesh conforms with no further pass.
#include <algorithm>
#include <climits>
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
    return test_.PixelsInView(v, SplitBox(m, bounds_));
  }

  // Hands emit(t, pixels) every triangle kept at `bound` with the pixels its split point
  // shows (0 for the finest, which have none): the walk asks for a kept triangle's value
  // just before it hands the triangle over.
  template <class Emit, class Stop, class Poll>
  void Walk(double bound, Emit emit, Stop stop, Poll poll) const {
    double last = 0;
    WalkBisection(
        h_.Side(), last_x_, last_z_,
        [&](const TreePoint& m) {
          last = Pixels(m);
          return last > bound ? 1 : 0;
        },
        0,
        [&](const TreeTriangle& t) {
          bool leaf = false;
          SplitPointOf(t, leaf);
          emit(t, leaf ? 0.0 : last);
        },
        stop, poll);
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
  ReserveAsLastScreenMesh(out);
  ScreenResult result;
  result.on = true;
  result.bound_px = s.screen.bound_px;
  // The bound asked for, unless its mesh holds more than the cap: then a raised one.
  auto walk = [&](double bound, auto emit, long long limit) {
    long long n = 0;
    view.Walk(
        bound,
        [&](const TreeTriangle& t, double px) {
          ++n;
          emit(t, px);
        },
        [&] { return n > limit; }, poll);
    return n;
  };
  auto append = [&](const TreeTriangle& t, double px) {
    result.achieved_px = std::max(result.achieved_px, px);
    out.Append(GridTriangle(t, grid.values));
  };
  if (walk(result.bound_px, append, s.screen.cap) > s.screen.cap) {
    out.Discard();
    auto count = [&](double bound, long long limit) { return walk(bound, [](const TreeTriangle&, double) {}, limit); };
    result.bound_px = RaisedScreenBound(result.bound_px, s.screen.cap, count);
    result.limited = true;
    result.achieved_px = 0;
    walk(result.bound_px, append, LLONG_MAX);
  }
  return FinishScreenMesh(s, result, out);
}

template int BuildScreenTriangleMesh(const data&, const Settings&, TriangleSink&);
template int BuildScreenTriangleMesh(const data&, const Settings&, IndexedMeshBuilder&);

}  // namespace mesh

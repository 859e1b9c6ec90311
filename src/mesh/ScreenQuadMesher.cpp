// Quad subdivision for the view: a quad is split when its hierarchy error, seen from the
// camera at the nearest point of its box (its square, and the heights of blocks no smaller
// than it), exceeds the bound in pixels and the box is in view. Errors and boxes nest, so
// the test picks a quad's parent whenever it picks the quad; the cut is then balanced as
// every quad cut is, so that fans close the seams between levels.
#include <algorithm>
#include <new>

#include "HeightBounds.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "QuadCut.h"
#include "ScreenBound.h"
#include "ScreenMesh.h"
#include "ScreenTest.h"
#include "TriangleSink.h"

namespace mesh {

namespace {

class QuadView {
 public:
  QuadView(const QuadErrorHierarchy& h, const HeightBounds& bounds, const ScreenTest& test)
      : h_(h), bounds_(bounds), test_(test) {}

  // The pixels quad (level, i, j) shows in view; 0 out of view.
  double Pixels(int level, int i, int j) const {
    const int64_t e = h_.Error(level, i, j);
    if (e == 0) return 0;
    const int side = h_.Side(level), x0 = i * side, z0 = j * side;
    int low = 0, high = 0;
    bounds_.Range(x0, z0, x0 + side, z0 + side, side, low, high);
    const GridBox box{static_cast<double>(x0), static_cast<double>(x0 + side), static_cast<double>(z0),
                      static_cast<double>(z0 + side), static_cast<double>(low), static_cast<double>(high)};
    return test_.PixelsInView(static_cast<double>(e), box);
  }

  void Cut(QuadCut& cut, double bound, const std::function<void()>& poll) const {
    cut.CutWhere([&](int level, int i, int j) { return Pixels(level, i, j) > bound; }, poll);
  }

  // The pixels a leaf shows.
  double Shown(const Leaf& leaf) const {
    int level = h_.Depth();
    while (level > 0 && h_.Side(level) < leaf.side) --level;
    return Pixels(level, leaf.x0 / leaf.side, leaf.z0 / leaf.side);
  }

 private:
  const QuadErrorHierarchy& h_;
  const HeightBounds& bounds_;
  const ScreenTest& test_;
};

}  // namespace

template <class Builder>
int BuildScreenQuadMesh(const data& grid, const Settings& s, Builder& out) {
  const std::function<void()> poll = [&out] { out.Poll(); };
  std::shared_ptr<const QuadErrorHierarchy> hierarchy;
  try {
    hierarchy = QuadErrorHierarchy::ForView(grid, poll, !s.screen.coarse_first);
    if (hierarchy == nullptr) return BuildCoarseFirst(grid, s, out);
  } catch (const std::bad_alloc&) {
    return FallBackFromStrict(s, out, [&grid](const Settings& loose, Builder& b) { return BuildQuadMesh(grid, loose, b); });
  }
  const std::shared_ptr<const HeightBounds> bounds = HeightBounds::ForView(grid);
  const ScreenTest test(s.screen.pose);
  const QuadView view(*hierarchy, *bounds, test);
  QuadCut cut(*hierarchy);
  auto count = [&](double bound, long long) {
    view.Cut(cut, bound, poll);
    long long n = 0;
    ForEachLeaf(cut, s, [&](const Leaf& leaf) { n += leaf.Triangles(); });
    return n;
  };
  ReserveAsLastScreenMesh(out);
  ScreenResult result;
  result.on = true;
  result.bound_px = s.screen.bound_px;
  // The bound asked for, unless its mesh holds more than the cap: then a raised one.
  if (count(result.bound_px, s.screen.cap) > s.screen.cap) {
    result.bound_px = RaisedScreenBound(result.bound_px, s.screen.cap, count);
    result.limited = true;
    view.Cut(cut, result.bound_px, poll);
  }
  ForEachLeaf(cut, s, [&](const Leaf& leaf) { result.achieved_px = std::max(result.achieved_px, view.Shown(leaf)); });
  EmitLeaves(grid, cut, s, out);
  return FinishScreenMesh(s, result, out);
}

template int BuildScreenQuadMesh(const data&, const Settings&, TriangleSink&);
template int BuildScreenQuadMesh(const data&, const Settings&, IndexedMeshBuilder&);

}  // namespace mesh

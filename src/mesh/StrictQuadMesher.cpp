// Quad subdivision under a strict error bound: quads are split while any grid point they
// cover strays from their triangles by more than the bound (QuadErrorHierarchy), then
// further until neighbouring quads differ by at most one level, and a quad beside finer
// neighbours is drawn as a fan that meets their corners, so the surface has no cracks.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "TriangleSink.h"
#include "QuadCut.h"
#include "QuadErrorHierarchy.h"

namespace {

using mesh::ForEachLeaf;
using mesh::Leaf;
using mesh::QuadCut;
using mesh::QuadErrorHierarchy;

long long CountTriangles(QuadCut& cut, const mesh::Settings& s, int64_t bound, const std::function<void()>& poll) {
  cut.Cut(bound, poll);
  long long count = 0;
  ForEachLeaf(cut, s, [&](const Leaf& leaf) { count += leaf.Triangles(); });
  return count;
}

// The least bound from `bound` up whose mesh holds no more than `budget` triangles, or the
// bound that splits for no error at all when even that one holds more.
int64_t LeastBoundWithin(QuadCut& cut, const mesh::Settings& s, int64_t bound, long long budget,
                         const std::function<void()>& poll) {
  int64_t lo = bound, hi = std::max(bound, cut.Hierarchy().Largest());
  if (CountTriangles(cut, s, hi, poll) > budget) return hi;
  while (lo < hi) {  // the count never grows with the bound
    const int64_t mid = lo + (hi - lo) / 2;
    if (CountTriangles(cut, s, mid, poll) <= budget) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

}  // namespace

template <class Builder>
int mesh::BuildStrictQuadMesh(const data& grid, const Settings& s, Builder& out) {
  const int precision = std::max(s.precision, 0);
  const std::function<void()> poll = [&out] { out.Poll(); };
  std::shared_ptr<const QuadErrorHierarchy> hierarchy;
  try {
    hierarchy = QuadErrorHierarchy::Of(grid, poll);
  } catch (const std::bad_alloc&) {
    return FallBackFromStrict(s, out,
                              [&grid](const Settings& loose, Builder& b) { return BuildQuadMesh(grid, loose, b); });
  }
  QuadCut cut(*hierarchy);
  // The precision does not limit the depth; only the budget does, through the bound. No
  // mesh holds more than two triangles a cell (a fan's eight cover four cells at least), so
  // most grids need no count.
  int64_t bound = s.bound;
  int planned = precision;
  const int cells_across = hierarchy->Across(hierarchy->Depth()), cells_down = hierarchy->Down(hierarchy->Depth());
  if (2LL * cells_across * cells_down > s.budget && CountTriangles(cut, s, bound, poll) > s.budget) {
    bound = LeastBoundWithin(cut, s, bound, s.budget, poll);
    planned = std::max(precision - 1, 0);
  }
  auto fill = [&](int level, Builder& list) {
    int64_t at = bound;
    if (level < planned) {
      // Without the memory for the planned mesh: a quarter of its triangles a level below.
      const long long planned_count = CountTriangles(cut, s, bound, poll);
      at = LeastBoundWithin(cut, s, bound, planned_count >> (2 * std::min(planned - level, 31)), poll);
    }
    cut.Cut(at, poll);
    mesh::EmitLeaves(grid, cut, s, list);
  };
  return mesh::FillLastLevelThatFits(out, planned, precision, fill, /*strict=*/true);
}

template int mesh::BuildStrictQuadMesh(const data&, const Settings&, mesh::TriangleSink&);
template int mesh::BuildStrictQuadMesh(const data&, const Settings&, IndexedMeshBuilder&);
template int mesh::BuildStrictQuadMesh(const data&, const Settings&, mesh::CountingBuilder&);

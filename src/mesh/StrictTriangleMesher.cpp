// Triangle bisection under a strict error bound: a walk of the grid's error hierarchy
// (TriangleErrorHierarchy), which splits both sides of a hypotenuse together, so the mesh
// needs no crack fills and every grid point lies within the bound of the surface drawn.
#include <algorithm>
#include <new>
#include <vector>

#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "MeshList.h"
#include "TriangleSink.h"
#include "TriangleErrorHierarchy.h"

template <class Builder>
int mesh::BuildStrictTriangleMesh(const data& grid, const Settings& s, Builder& out) {
  const int precision = std::max(s.precision, 0);
  auto poll = [&out] { out.Poll(); };
  std::shared_ptr<const TriangleErrorHierarchy> hierarchy;
  try {
    hierarchy = TriangleErrorHierarchyOfGrid(grid, poll);
  } catch (const std::bad_alloc&) {
    return FallBackFromStrict(s, out, [&grid](const Settings& loose, Builder& b) {
      return BuildTriangleMesh(grid, loose, b);
    });
  }
  const TriangleErrorHierarchy& h = *hierarchy;

  // The triangles of the mesh at `bound`, or some number above `limit` when there are more.
  auto count = [&](long long bound, long long limit) {
    long long n = h.CountFromHistogram(bound);
    if (n >= 0) return n;
    n = 0;
    h.Walk(
        bound, [&](const TreeTriangle&) { ++n; }, [&] { return n > limit; }, poll);
    return n;
  };
  // The smallest bound from `from` on whose mesh holds at most `limit` triangles; where
  // none does, the bound at which only the forced splits are left. Sizes fall as the
  // bound grows.
  auto fitting = [&](long long from, long long limit) {
    long long lo = from, hi = std::max<long long>(from, h.Largest());
    if (count(lo, limit) <= limit || count(hi, limit) > limit) return count(lo, limit) <= limit ? lo : hi;
    while (hi - lo > 1) {
      const long long mid = lo + (hi - lo) / 2;
      (count(mid, limit) <= limit ? hi : lo) = mid;
    }
    return hi;
  };

  // Over the budget, the mesh of a larger bound is shown, as a level below the precision.
  const long long bound = fitting(s.bound, s.budget);
  const bool limited = bound > s.bound || count(bound, s.budget) > s.budget;
  const int planned = limited ? std::max(precision - 1, 0) : precision;
  // When memory runs out, each level down takes a bound that halves the mesh.
  std::vector<long long> ladder{bound};
  auto fill = [&](int level, Builder& list) {
    const size_t step = static_cast<size_t>(planned - level);
    while (ladder.size() <= step) {
      const long long last = ladder.back();
      ladder.push_back(fitting(last + 1, count(last, s.budget) / 2));
    }
    list.Reserve(count(ladder[step], s.budget));
    h.Walk(
        ladder[step], [&](const TreeTriangle& t) { list.Append(GridTriangle(t, grid.values)); },
        [] { return false; }, poll);
  };
  return mesh::FillLastLevelThatFits(out, planned, precision, fill, /*strict=*/true);
}

template int mesh::BuildStrictTriangleMesh(const data&, const Settings&, mesh::TriangleSink&);
template int mesh::BuildStrictTriangleMesh(const data&, const Settings&, IndexedMeshBuilder&);

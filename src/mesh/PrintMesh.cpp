// A uniform bisection of the power-of-two square has no cracks at any depth; the strict
// hierarchy's forced splits (a triangle across the grid's edge, down to cells, and every
// split that one needs) have none either, and two split sets closed in this way stay so
// when joined: their union is a conforming mesh. The forced splits leave strips of cells
// along the east and south edges, as in the strict meshes.
#include "PrintMesh.h"

#include <cmath>
#include <new>

#include "MeshList.h"
#include "TriangleErrorHierarchy.h"

namespace mesh {

int SplitDepth(int side, int x, int z) {
  const int low = (x | z) & -(x | z);  // the largest power of two dividing both
  int depth = 0;
  for (int s = side / 2; s > low; s /= 2) depth += 2;
  // A square's centre lies odd steps of `low` from both of its sides; a side's midpoint
  // only from one, one depth further.
  return ((x / low) & 1) && ((z / low) & 1) ? depth : depth + 1;
}

IndexedMesh BuildPrintMesh(const data& grid, const Settings& s) {
  if (s.screen.on || s.mode == 0 || s.adaptive) return BuildIndexedMesh(grid, ForPrinting(s));
  std::shared_ptr<const TriangleErrorHierarchy> h;
  try {
    h = TriangleErrorHierarchyOfGrid(grid, [] {});
  } catch (const std::bad_alloc&) {
    IndexedMesh none;  // refused as a mesh without triangles, the reason on the console
    none.level = -1;
    none.limit_line = LimitLine(0, -1, s.precision, s.precision);
    return none;
  }
  IndexedMeshBuilder builder(grid, {}, s.show_nodata);
  if (h->HasArea()) {
    const int side = h->Side();
    const int depth = s.precision + static_cast<int>(std::lround(2 * std::log2(side / std::max(1.0, 1.0 * s.size))));
    WalkBisection(
        side, grid.cols - 1, grid.rows - 1,
        [&](const TreePoint& m) {
          return SplitDepth(side, m.x, m.z) < depth || h->ValueAt(m) == TriangleErrorHierarchy::kMustSplit ? 1 : 0;
        },
        0, [&](const TreeTriangle& t) { builder.Append(GridTriangle(t, grid.values)); }, [] { return false; }, [] {});
  }
  IndexedMesh mesh = builder.Finish();
  mesh.precision = s.precision;
  mesh.level = s.precision;
  mesh.shows_nodata = s.show_nodata;
  return mesh;
}

}  // namespace mesh

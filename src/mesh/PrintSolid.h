// A model to print: the surface turned z up in millimetres and, with a base, closed by
// walls and a flat bottom into a solid that slicers take as it is. Free of GL.
#pragma once

#include <cstdint>
#include <vector>

#include "DrawScales.h"
#include "IndexedMesh.h"
#include "MeshBase.h"

namespace mesh_export {

struct PrintOptions {
  double size_mm = 100;      // the longer side of the horizontal extent
  bool base = false;
  double thickness_mm = 2;   // with a base: the bottom this far below the lowest point
};

// Points (x east, y north, z up, millimetres) and triangles, three indices each, turning
// counter-clockwise seen from outside. Every point is used.
struct PrintSolid {
  static constexpr uint32_t kNoSource = UINT32_MAX;
  std::vector<Corner> points;
  std::vector<uint32_t> indices;
  // Per point, the mesh vertex it is or stands under (for its texture coordinates);
  // kNoSource for the middle of a fan bottom.
  std::vector<uint32_t> source;
};

// The solid of `mesh` over `grid` as drawn at `scales`: the extent's south-west corner at
// x = y = 0, the bottom (or without a base the lowest point) at z = 0, heights to the
// same scale as the extent. `mesh` must join its triangles edge to edge (no crack fills, no
// vertex on another triangle's edge, see ForPrinting): its outline is then the only open
// edge, and the walls close it.
PrintSolid MakePrintSolid(const IndexedMesh& mesh, const data& grid, const DrawScales& scales,
                          const PrintOptions& options);

}  // namespace mesh_export

// Normals of the surface a mesh draws, for meshes whose triangles are far coarser than the
// grid in places: each vertex takes the area-weighted mean of its triangles' faces, so a
// coarse triangle is lit as the plane it is, not by the grid's own fine slopes.
#pragma once

#include <vector>

#include "IndexedMesh.h"
#include "TerrainLoader.h"

namespace mesh {

// x, y, z per vertex record of `mesh`, in the grid normals' frame (unit steps, raw heights)
// and with y = 1 as theirs have; (0, 1, 0) for a vertex of no triangle with area.
std::vector<float> FaceNormalsOf(const data& grid, const IndexedMesh& mesh);

}  // namespace mesh

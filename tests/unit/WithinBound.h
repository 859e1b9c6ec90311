// Test support: whether every grid point lies within a bound of a mesh, checked with exact
// integer interpolation over each triangle, independently of the mesh layer's own
// measurement.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GridValue.h"
#include "IndexedMesh.h"
#include "MeshBuild.h"
#include "TerrainLoader.h"

namespace mesh_test {

// "" when every grid point of `grid` lies under some triangle of `m` and within `bound`
// of every triangle over it; else the first point that does not, and why.
inline std::string FirstPointOffBound(const data& grid, const IndexedMesh& m, int64_t bound) {
  std::vector<char> covered(static_cast<size_t>(grid.rows) * grid.cols, 0);
  std::ostringstream fault;
  for (size_t t = 0; t + 2 < m.indices.size(); t += 3) {
    int64_t x[3], z[3], h[3];
    for (int k = 0; k < 3; ++k) {
      const IndexedMesh::Point& p = m.points[m.indices[t + k]];
      x[k] = p.x;
      z[k] = p.z;
      h[k] = grid.values[p.z][p.x];
    }
    const int64_t det = (x[1] - x[0]) * (z[2] - z[0]) - (x[2] - x[0]) * (z[1] - z[0]);
    if (det == 0) continue;
    const int64_t sign = det > 0 ? 1 : -1;
    const int64_t x_lo = std::min({x[0], x[1], x[2]}), x_hi = std::max({x[0], x[1], x[2]});
    const int64_t z_lo = std::min({z[0], z[1], z[2]}), z_hi = std::max({z[0], z[1], z[2]});
    for (int64_t pz = z_lo; pz <= z_hi; ++pz)
      for (int64_t px = x_lo; px <= x_hi; ++px) {
        // Barycentric weights times det: the point is inside when none has the other sign.
        const int64_t w1 = (px - x[0]) * (z[2] - z[0]) - (x[2] - x[0]) * (pz - z[0]);
        const int64_t w2 = (x[1] - x[0]) * (pz - z[0]) - (px - x[0]) * (z[1] - z[0]);
        const int64_t w0 = det - w1 - w2;
        if (w0 * sign < 0 || w1 * sign < 0 || w2 * sign < 0) continue;
        covered[static_cast<size_t>(pz) * grid.cols + px] = 1;
        const int64_t off = std::llabs(grid.values[pz][px] * det - (w0 * h[0] + w1 * h[1] + w2 * h[2]));
        if (off > bound * std::llabs(det)) {
          fault << "point (" << px << ", " << pz << ") lies " << static_cast<double>(off) / std::llabs(det)
                << " from the triangle (" << x[0] << ", " << z[0] << ") (" << x[1] << ", " << z[1] << ") (" << x[2]
                << ", " << z[2] << ")";
          return fault.str();
        }
      }
  }
  for (int z = 0; z < grid.rows; ++z)
    for (int x = 0; x < grid.cols; ++x)
      if (!covered[static_cast<size_t>(z) * grid.cols + x]) {
        fault << "point (" << x << ", " << z << ") lies under no triangle";
        return fault.str();
      }
  return "";
}

#ifdef SANITIZED_BUILD
constexpr int kSampleRows = 129, kSampleCols = 161;  // a corner of the sample keeps sanitized runs short
#else
constexpr int kSampleRows = 344, kSampleCols = 403;
#endif

// The bundled sample, or its north-west corner under the sanitizers.
inline const GridValue& Sample() {
  static const GridValue grid =
      ReadAsciiHeights(REPO_DATA_DIR "/jacksboro_403x344.asc", kSampleRows, kSampleCols);
  return grid;
}

// The strict mesh of `grid` at `bound`: quads (mode 0) or triangles (mode 1).
inline IndexedMesh StrictMesh(const data& grid, int mode, int bound) {
  IndexedMeshBuilder builder(grid);
  mesh::BuildMesh(grid, StrictBound(grid, mode, bound), builder);
  return builder.Finish();
}

// Every grid point of the sample within each of about twenty of `bounds` (ascending).
template <class T>
void ExpectSampleWithinEach(int mode, const std::vector<T>& bounds) {
  ASSERT_GE(bounds.size(), 5u);
  for (size_t k = 0; k < bounds.size(); k += (bounds.size() + 19) / 20) {
    const int bound = static_cast<int>(bounds[k]);
    EXPECT_EQ(FirstPointOffBound(Sample(), StrictMesh(Sample(), mode, bound), bound), "") << "bound " << bound;
  }
}

}  // namespace mesh_test

#include "MeshToWrite.h"

#include <algorithm>

#include "GridUnits.h"

namespace mesh_export {

MeshToWrite Prepare(const data& grid, const Normal* const* normals, const IndexedMesh& mesh, const DrawScales& scales,
                    const PrepareOptions& options) {
  MeshToWrite m;
  m.mesh = &mesh;
  FillVertexArrays(grid, normals, mesh, options.texture ? Shading::kTexture : Shading::kPlain, scales, m.arrays);
  m.decimals = DecimalsOf(options.units_per_metre);
  if (options.print_size_mm > 0) {
    m.solid = MakePrintSolid(mesh, grid, scales, {options.print_size_mm, options.base, options.base_thickness_mm});
    return m;
  }
  if (!options.corners && !options.base) return m;
  const size_t n = mesh.points.size();
  m.corners.resize(n);
  const double metre = 1.0 / options.units_per_metre;
  for (size_t i = 0; i < n; ++i) {
    const int32_t* v = &m.arrays.positions[3 * i];
    m.corners[i] = {static_cast<float>(v[0] * metre), static_cast<float>(v[1] * metre),
                    static_cast<float>(v[2] * metre)};
  }
  if (options.base) m.base = BaseUnder(m.corners, mesh.indices);
  return m;
}

bool HasArea(const std::vector<int32_t>& positions) {
  if (positions.size() < 3) return false;
  int32_t x0 = positions[0], x1 = x0, z0 = positions[2], z1 = z0;
  for (size_t i = 3; i + 2 < positions.size(); i += 3) {
    x0 = std::min(x0, positions[i]), x1 = std::max(x1, positions[i]);
    z0 = std::min(z0, positions[i + 2]), z1 = std::max(z1, positions[i + 2]);
  }
  return x1 > x0 && z1 > z0;
}

}  // namespace mesh_export

#include "VertexArrays.h"

#include <climits>

namespace {

// Drawn coordinates are whole height units, truncated toward zero; values beyond the int
// range (extreme heights times a large multiplier) saturate instead of overflowing.
inline int32_t TruncateToInt(double v) {
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int32_t>(v);
}

}  // namespace

void FillVertexArrays(const data& grid, const Normal* const* normals, const IndexedMesh& mesh, Shading shading,
                      const DrawScales& scales, VertexArrays& out, HeightColour colour) {
  const size_t n = mesh.points.size();
  out.positions.resize(3 * n);
  out.normals.resize(3 * n);
  out.colours.resize(shading == Shading::kColor ? 3 * n : 0);
  out.texcoords.resize(shading == Shading::kTexture ? 2 * n : 0);
  const double cols = grid.cols;
  const double rows = grid.rows;
  for (size_t i = 0; i < n; ++i) {
    const IndexedMesh::Point p = mesh.points[i];
    const int h = grid.values[p.z][p.x];
    int32_t* position = &out.positions[3 * i];
    position[0] = TruncateToInt(p.x * static_cast<double>(scales.column));
    position[1] = TruncateToInt(h * scales.height);
    position[2] = TruncateToInt(p.z * static_cast<double>(scales.row));
    // The mesh's own normals where it has them, the grid's otherwise.
    const Normal normal = !mesh.normals.empty()
                              ? Normal{mesh.normals[3 * i], mesh.normals[3 * i + 1], mesh.normals[3 * i + 2]}
                          : normals != nullptr ? normals[p.z][p.x]
                                               : Normal{0, 1, 0};
    float* nv = &out.normals[3 * i];
    nv[0] = normal.x * scales.normal_x;
    nv[1] = normal.y;
    nv[2] = normal.z * scales.normal_z;
    if (shading == Shading::kColor) {
      colour(h / static_cast<double>(grid.units_per_metre), &out.colours[3 * i]);
    } else if (shading == Shading::kTexture) {
      out.texcoords[2 * i] = static_cast<float>(p.x / cols);
      out.texcoords[2 * i + 1] = static_cast<float>(p.z / rows);
    }
  }
}

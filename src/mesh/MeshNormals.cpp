#include "MeshNormals.h"

namespace mesh {

std::vector<float> FaceNormalsOf(const data& grid, const IndexedMesh& mesh) {
  std::vector<double> sum(3 * mesh.points.size(), 0.0);
  auto corner = [&](uint32_t slot, double (&p)[3]) {
    const IndexedMesh::Point q = mesh.points[slot];
    p[0] = q.x;
    p[1] = grid.values[q.z][q.x];
    p[2] = q.z;
  };
  for (size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
    double a[3], b[3], c[3];
    corner(mesh.indices[t], a);
    corner(mesh.indices[t + 1], b);
    corner(mesh.indices[t + 2], c);
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    // Twice the face's area in plan times its unit normal: facing up, whichever way it turns.
    if (n[1] < 0)
      for (double& x : n) x = -x;
    for (size_t k = t; k < t + 3; ++k)
      for (int i = 0; i < 3; ++i) sum[3 * mesh.indices[k] + i] += n[i];
  }
  std::vector<float> out(sum.size());
  for (size_t v = 0; v < mesh.points.size(); ++v) {
    const double y = sum[3 * v + 1];
    out[3 * v] = y > 0 ? static_cast<float>(sum[3 * v] / y) : 0.0f;
    out[3 * v + 1] = 1.0f;
    out[3 * v + 2] = y > 0 ? static_cast<float>(sum[3 * v + 2] / y) : 0.0f;
  }
  return out;
}

}  // namespace mesh

#include "StlWriter.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace mesh_export {

static_assert(std::endian::native == std::endian::little, "binary STL writing assumes little-endian");

namespace {

template <class ForEach>
void WriteTriangles(const char* title, size_t count, ForEach for_each, BufferedFile& out) {
  char header[80] = {};
  snprintf(header, sizeof header, "%s", title);
  out.Bytes(header, sizeof header);
  out.Raw(static_cast<uint32_t>(count));
  for_each([&](const Corner& a, const Corner& b, const Corner& c) {
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length > 0) nx /= length, ny /= length, nz /= length;
    const float record[12] = {static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz),
                              a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z};
    out.Bytes(record, sizeof record);
    out.Raw(uint16_t{0});
  });
}

}  // namespace

void WriteStl(const MeshToWrite& m, BufferedFile& out) {
  if (m.solid) {
    const PrintSolid& solid = *m.solid;
    WriteTriangles("Brackenholmer terrain to print, z up, millimetres", solid.indices.size() / 3, [&](auto emit) {
      const std::vector<uint32_t>& ix = solid.indices;
      for (size_t t = 0; t + 2 < ix.size(); t += 3) emit(solid.points[ix[t]], solid.points[ix[t + 1]], solid.points[ix[t + 2]]);
    }, out);
    return;
  }
  const Base* base = m.base_or_null();
  WriteTriangles("Brackenholmer terrain, y up, counter-clockwise seen from above",
                 SolidTriangles(m.mesh->indices.size() / 3, base),
                 [&](auto emit) { ForEachSolidTriangle(m.corners, m.mesh->indices, base, emit); }, out);
}

}  // namespace mesh_export

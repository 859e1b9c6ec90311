#include "StlWriter.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace mesh_export {

static_assert(std::endian::native == std::endian::little, "binary STL writing assumes little-endian");

void WriteStl(const MeshToWrite& m, BufferedFile& out) {
  const Base* base = m.base_or_null();
  char header[80] = "Brackenholmer terrain, y up, counter-clockwise seen from above";
  out.Bytes(header, sizeof header);
  out.Raw(static_cast<uint32_t>(SolidTriangles(m.mesh->indices.size() / 3, base)));
  ForEachSolidTriangle(m.corners, m.mesh->indices, base, [&](const Corner& a, const Corner& b, const Corner& c) {
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

}  // namespace mesh_export

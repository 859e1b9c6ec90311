#include "PlyWriter.h"

#include <bit>
#include <cstdint>

namespace mesh_export {

static_assert(std::endian::native == std::endian::little, "binary PLY writing assumes little-endian");

namespace {

void Header(const char* comment, size_t vertices, size_t faces, BufferedFile& out) {
  out.Text("ply\nformat binary_little_endian 1.0\ncomment ");
  out.Text(comment);
  out.Text("\nelement vertex ");
  out.Number(vertices);
  out.Text("\nproperty float x\nproperty float y\nproperty float z\nelement face ");
  out.Number(faces);
  out.Text("\nproperty list uchar int vertex_indices\nend_header\n");
}

void Face(uint32_t a, uint32_t b, uint32_t c, BufferedFile& out) {
  out.Raw(uint8_t{3});
  const int32_t corners[3] = {static_cast<int32_t>(a), static_cast<int32_t>(b), static_cast<int32_t>(c)};
  out.Bytes(corners, sizeof corners);
}

}  // namespace

void WritePly(const MeshToWrite& m, BufferedFile& out) {
  if (m.solid) {
    Header("Brackenholmer terrain to print, z up, millimetres", m.solid->points.size(), m.solid->indices.size() / 3, out);
    for (const Corner& c : m.solid->points) out.Raw(c);
    const std::vector<uint32_t>& ix = m.solid->indices;
    for (size_t t = 0; t + 2 < ix.size(); t += 3) Face(ix[t], ix[t + 1], ix[t + 2], out);
    return;
  }
  const Base* base = m.base_or_null();
  const std::vector<uint32_t>& ix = m.mesh->indices;
  const size_t n = m.corners.size();
  Header("Brackenholmer terrain, y up", SolidVertices(n, base), SolidTriangles(ix.size() / 3, base), out);
  for (const Corner& c : m.corners) out.Raw(c);
  if (base != nullptr) {
    for (const Corner& c : m.corners) out.Raw(Corner{c.x, base->bottom, c.z});
    if (base->fan) out.Raw(base->centre);
  }
  const auto face = [&](uint32_t a, uint32_t b, uint32_t c) { Face(a, b, c, out); };
  for (size_t t = 0; t + 2 < ix.size(); t += 3) face(ix[t], ix[t + 1], ix[t + 2]);
  if (base != nullptr) ForEachBaseFace(n, ix, *base, face);
}

}  // namespace mesh_export
